#include "lib/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Deeper than the reader goes; also what keeps a long chain of tables from
// exhausting the native stack.
constexpr size_t maxDepth = 512;

// The shortest digits that read back to the same double, laid out as
// JavaScript's number-to-string does: plain from 1e-6 up to below 1e21,
// with an exponent outside that range.
void writeNumber(std::string& out, double d) {
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    if (d == 0) {
        out += std::signbit(d) ? "-0" : "0";
        return;
    }
    char buf[40];
    char* end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific).ptr;
    std::string digits;
    const char* p = buf;
    if (*p == '-') {
        out += '-';
        ++p;
    }
    for (; *p != 'e'; ++p)
        if (*p != '.') digits += *p;
    int exponent = 0;
    std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
    int k = static_cast<int>(digits.size());
    int n = exponent + 1; // where the decimal point falls within the digits
    if (k <= n && n <= 21) {
        out += digits;
        out.append(n - k, '0');
    } else if (0 < n && n <= 21) {
        out.append(digits, 0, n);
        out += '.';
        out.append(digits, n);
    } else if (-6 < n && n <= 0) {
        out += "0.";
        out.append(-n, '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += n - 1 >= 0 ? "e+" : "e-";
        out += std::to_string(std::abs(n - 1));
    }
}

void writeString(std::string& out, const std::string& s) {
    out += '"';
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char esc[8];
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    out += '"';
}

void writeMember(std::string& out, const char* key, double d) {
    writeString(out, key);
    out += ':';
    writeNumber(out, d);
    out += ',';
}

void writeValue(std::string& out, const Value& v, std::vector<const Environment*>& path) {
    switch (v.type) {
    case ValueType::Number: writeNumber(out, v.num()); return;
    case ValueType::String: writeString(out, v.text()); return;
    case ValueType::Boolean: out += v.truthy() ? "true" : "false"; return;
    case ValueType::Vector2:
    case ValueType::Vector3:
        out += '{';
        writeMember(out, "x", v.x());
        writeMember(out, "y", v.y());
        if (v.is(ValueType::Vector3)) writeMember(out, "z", v.z());
        out += v.is(ValueType::Vector2) ? "\"_type\":\"Vector2\"}" : "\"_type\":\"Vector3\"}";
        return;
    case ValueType::Table: {
        const Environment* table = v.env();
        if (path.size() >= maxDepth) break;
        for (const Environment* outer : path)
            if (outer == table) {
                out += "null";
                return;
            }
        path.push_back(table);
        out += '{';
        bool first = true;
        for (auto& [key, entry] : table->entries()) {
            if (!first) out += ',';
            first = false;
            writeString(out, key);
            out += ':';
            writeValue(out, entry, path);
        }
        out += '}';
        path.pop_back();
        return;
    }
    default: break;
    }
    out += "null";
}

} // namespace

std::string valueToJson(const Value& value) {
    std::string out;
    std::vector<const Environment*> path;
    writeValue(out, value, path);
    return out;
}
