#include "lang/value.h"

#include <cmath>
#include <cstdio>
#include <sstream>

MediaObj::MediaObj(std::string p) : path(std::move(p)), table(new Environment) {
    retain(table);
}
MediaObj::~MediaObj() {
    release(table);
}

const std::string& Value::text() const {
    static const std::string empty;
    if (type == ValueType::String) return static_cast<StringObj*>(obj)->text;
    if (isMedia()) return static_cast<MediaObj*>(obj)->path;
    return empty;
}

const char* typeName(ValueType t) {
    static const char* names[] = {"null",    "number",   "string", "boolean", "table",
                                  "native",  "function", "image",  "audio",   "video",
                                  "vector2", "vector3",  "cframe"};
    return names[static_cast<int>(t)];
}

std::string numberText(double d) {
    if (d == std::floor(d) && std::fabs(d) < 1e6) {
        // Whole numbers below a million print as plain integers.
        char buf[32];
        int len = std::snprintf(buf, sizeof buf, "%.0f", d);
        if (d == 0 && std::signbit(d)) return "-0";
        return std::string(buf, len);
    }
    std::ostringstream out;
    out << d;
    return out.str();
}

int32_t intView(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(d);
}

static std::string vectorText(const char* name, const Value& v, bool three) {
    std::string s = name;
    s += "(" + numberText(v.x()) + ", " + numberText(v.y());
    if (three) s += ", " + numberText(v.z());
    return s + ")";
}

std::string valueToString(const Value& v, int depth) {
    if (depth >= 6) return "...";
    switch (v.type) {
    case ValueType::Null: return "nil";
    case ValueType::Boolean: return v.b ? "true" : "false";
    case ValueType::Number: return numberText(v.n);
    case ValueType::String: return depth == 0 ? v.text() : "\"" + v.text() + "\"";
    case ValueType::Vector2: return vectorText("Vector2", v, false);
    case ValueType::Vector3: return vectorText("Vector3", v, true);
    case ValueType::CFrame: return vectorText("CFrame", v, true);
    case ValueType::Image: return "[image: " + v.text() + "]";
    case ValueType::Audio: return "[audio: " + v.text() + "]";
    case ValueType::Video: return "[video: " + v.text() + "]";
    case ValueType::Function: return "[function]";
    case ValueType::Native: return "[native]";
    case ValueType::Table: {
        std::string s = "{ ";
        bool first = true;
        for (auto& [key, entry] : v.env()->variables) {
            if (!first) s += ", ";
            first = false;
            s += key;
            s += " = ";
            s += valueToString(entry, depth + 1);
        }
        return s + " }";
    }
    }
    return "";
}

bool valuesEqual(const Value& a, const Value& b) {
    if (a.type != b.type) return false;
    switch (a.type) {
    case ValueType::Null: return true;
    case ValueType::Number: return a.n == b.n;
    case ValueType::Boolean: return a.b == b.b;
    case ValueType::String:
    case ValueType::Image:
    case ValueType::Audio:
    case ValueType::Video: return a.text() == b.text();
    case ValueType::Vector2: return a.x() == b.x() && a.y() == b.y();
    case ValueType::Vector3:
    case ValueType::CFrame: return a.x() == b.x() && a.y() == b.y() && a.z() == b.z();
    // Tables, functions and natives compare by identity.
    case ValueType::Table:
    case ValueType::Native:
    case ValueType::Function: return a.obj == b.obj;
    }
    return false;
}
