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
    if (type == ValueType::String) {
        auto* so = static_cast<StringObj*>(obj);
        if (len == so->text.size() || len == UINT32_MAX) return so->text;
        // An older view of a buffer that has grown since: give it its own.
        auto* own = new StringObj(so->text.substr(0, len));
        retain(own);
        release(so);
        obj = own;
        return own->text;
    }
    if (isMedia()) return static_cast<MediaObj*>(obj)->path;
    return empty;
}

Value Value::append(const std::string& tail) const {
    auto* so = static_cast<StringObj*>(obj);
    size_t size = so->text.size();
    if (len != size || size + tail.size() >= UINT32_MAX) {
        std::string joined = text();
        joined += tail;
        return string(std::move(joined));
    }
    so->text += tail;
    Value v = *this;
    v.len = static_cast<uint32_t>(so->text.size());
    return v;
}

const char* typeName(ValueType t) {
    static const char* names[] = {"null",    "number",   "boolean", "string", "table",
                                  "native",  "function", "image",   "audio",  "video",
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
#ifdef _WIN32
    // The Windows C runtime drops the sign of a NaN; write it as glibc does.
    if (std::isnan(d)) return std::signbit(d) ? "-nan" : "nan";
#endif
    std::ostringstream out;
    out << d;
    return out.str();
}

static std::string vectorText(const char* name, const Value& v, bool three) {
    std::string s = name;
    s += '(';
    s += numberText(v.x());
    s += ", ";
    s += numberText(v.y());
    if (three) {
        s += ", ";
        s += numberText(v.z());
    }
    s += ')';
    return s;
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
        for (auto& [key, entry] : v.env()->entries()) {
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
