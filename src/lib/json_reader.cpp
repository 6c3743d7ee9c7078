#include "lib/json.h"
#include "runner/error.h"

#include <cstdlib>

namespace {

// Nesting past this reads as unreadable text, so hostile input cannot
// exhaust the native stack.
constexpr int maxDepth = 512;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four hex digits at `at`, or -1.
long hex4(const std::string& text, size_t at) {
    if (at + 4 > text.size()) return -1;
    long code = 0;
    for (size_t i = at; i < at + 4; ++i) {
        int h = hexValue(text[i]);
        if (h < 0) return -1;
        code = code * 16 + h;
    }
    return code;
}

void appendUtf8(std::string& out, long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// After "\u" at `pos`: decodes one code point (a surrogate pair counts as
// one) and advances. A lone surrogate becomes U+FFFD. Returns false when no
// four hex digits follow, leaving the "u" to be taken literally.
bool readUnicodeEscape(const std::string& text, size_t& pos, std::string& out) {
    long code = hex4(text, pos + 1);
    if (code < 0) return false;
    pos += 5;
    if (code >= 0xD800 && code < 0xDC00) {
        long low = -1;
        if (pos + 1 < text.size() && text[pos] == '\\' && text[pos + 1] == 'u')
            low = hex4(text, pos + 2);
        if (low >= 0xDC00 && low < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            pos += 6;
        } else {
            code = 0xFFFD;
        }
    } else if (code >= 0xDC00 && code < 0xE000) {
        code = 0xFFFD;
    }
    appendUtf8(out, code);
    return true;
}

// `pos` is on the opening quote. Standard escapes are decoded; any other
// escaped character stands for itself, so text whose only escapes are \\ and
// \" reads back as written. An unterminated string runs to the end.
std::string readString(const std::string& text, size_t& pos) {
    std::string out;
    ++pos;
    while (pos < text.size() && text[pos] != '"') {
        char c = text[pos];
        if (c != '\\' || pos + 1 >= text.size()) {
            out += c;
            ++pos;
            continue;
        }
        char e = text[++pos];
        switch (e) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u':
            if (readUnicodeEscape(text, pos, out)) continue;
            out += 'u';
            break;
        default: out += e; // \/ \\ \" and anything else: the character itself
        }
        ++pos;
    }
    if (pos < text.size()) ++pos;
    return out;
}

// A minus sign, digits and points, then an optional exponent; the longest
// prefix that is a number counts. A lone "-" or "-." reads as null.
Value readNumber(const std::string& text, size_t& pos) {
    size_t start = pos;
    if (text[pos] == '-') ++pos;
    while (pos < text.size() && (isDigit(text[pos]) || text[pos] == '.'))
        ++pos;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        size_t digits = pos + 1;
        if (digits < text.size() && (text[digits] == '+' || text[digits] == '-')) ++digits;
        if (digits < text.size() && isDigit(text[digits])) {
            pos = digits;
            while (pos < text.size() && isDigit(text[pos]))
                ++pos;
        }
    }
    std::string literal = text.substr(start, pos - start);
    char* end = nullptr;
    double d = std::strtod(literal.c_str(), &end);
    if (end == literal.c_str()) return Value();
    return Value::number(d);
}

Value readValue(const std::string& text, size_t& pos, int depth);

Value readObject(const std::string& text, size_t& pos, int depth) {
    Value table = Value::newTable();
    Environment* members = table.env();
    std::string typeTag;
    ++pos;
    skipWhitespace(text, pos);
    while (pos < text.size() && text[pos] != '}') {
        skipWhitespace(text, pos);
        if (pos >= text.size() || text[pos] != '"') break; // unreadable: the object ends here
        std::string key = readString(text, pos);
        skipWhitespace(text, pos);
        if (pos < text.size() && text[pos] == ':') {
            ++pos;
            Value value = readValue(text, pos, depth + 1);
            if (key == "_type") typeTag = value.text();
            members->set(key, std::move(value));
        }
        skipWhitespace(text, pos);
        if (pos < text.size() && text[pos] == ',') ++pos;
    }
    if (pos < text.size() && text[pos] == '}') ++pos;

    Value *x = members->find("x"), *y = members->find("y"), *z = members->find("z");
    if (typeTag == "Vector2" && x && y) return Value::vector2(x->num(), y->num());
    if (typeTag == "Vector3" && x && y && z) return Value::vector3(x->num(), y->num(), z->num());
    return table;
}

// An array table: entries "0", "1", ... and "length".
Value readArray(const std::string& text, size_t& pos, int depth) {
    Value table = Value::newTable();
    Environment* items = table.env();
    int length = 0;
    ++pos;
    skipWhitespace(text, pos);
    while (pos < text.size() && text[pos] != ']') {
        size_t before = pos;
        Value item = readValue(text, pos, depth + 1);
        if (pos == before) break; // unreadable: the array ends here
        items->set(std::to_string(length++), std::move(item));
        skipWhitespace(text, pos);
        if (pos < text.size() && text[pos] == ',') {
            ++pos;
            skipWhitespace(text, pos);
        } else if (pos >= text.size() || text[pos] != ']') {
            break;
        }
    }
    if (pos < text.size() && text[pos] == ']') ++pos;
    items->set("length", Value::number(length));
    return table;
}

Value readValue(const std::string& text, size_t& pos, int depth) {
    skipWhitespace(text, pos);
    if (pos >= text.size()) return Value();
    char c = text[pos];
    if (text.compare(pos, 4, "null") == 0) {
        pos += 4;
        return Value();
    }
    if (text.compare(pos, 4, "true") == 0) {
        pos += 4;
        return Value::boolean(true);
    }
    if (text.compare(pos, 5, "false") == 0) {
        pos += 5;
        return Value::boolean(false);
    }
    if (c == '"') return Value::string(readString(text, pos));
    if (c == '-' || isDigit(c)) return readNumber(text, pos);
    if (depth >= maxDepth) return Value();
    if (c == '{') return readObject(text, pos, depth);
    if (c == '[') return readArray(text, pos, depth);
    return Value();
}

} // namespace

void skipWhitespace(const std::string& text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
}

Value parseJson(const std::string& text, size_t& pos) {
    return readValue(text, pos, 0);
}

Value toJson(Args args) {
    if (args.empty()) error("toJson needs a value");
    return Value::string(valueToJson(args[0]));
}

Value fromJson(Args args) {
    if (args.empty()) error("fromJson needs a string");
    return parseJson(args[0].text());
}
