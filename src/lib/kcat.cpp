#include "lib/kcat.h"
#include "front/parser.h"
#include "runner/error.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <vector>

namespace {
// The tokenizer keeps backslash pairs inside a string, so a string reads
// back unchanged unless it holds a double quote or ends in an odd run of
// backslashes (which would swallow the closing quote).
bool stringReadsBack(const std::string& s) {
    if (s.find('"') != std::string::npos) return false;
    size_t kept = s.find_last_not_of('\\');
    size_t trailing = kept == std::string::npos ? s.size() : s.size() - kept - 1;
    return trailing % 2 == 0;
}

// A table literal takes any single token as a key, except the two that
// end or separate entries.
bool keyReadsBack(const std::string& key) {
    if (key == "}" || key == ",") return false;
    TokenList tokens = tokenize(key);
    return tokens.size() == 1 && tokens[0].text == key;
}

class KcatWriter {
  public:
    std::string out;

    void write(const Value& v, int depth) {
        switch (v.type) {
        case ValueType::Null:
        case ValueType::Native:
        case ValueType::Function: out += "null"; return;
        case ValueType::Boolean: out += v.flag() ? "true" : "false"; return;
        case ValueType::Number: writeNumber(v.num()); return;
        case ValueType::String: quoted(v.text()); return;
        case ValueType::Vector2:
            quoted("Vector2(" + numberText(v.x()) + ", " + numberText(v.y()) + ")");
            return;
        case ValueType::Vector3: quoted(vector3Text("Vector3", v)); return;
        case ValueType::CFrame: quoted(vector3Text("CFrame", v)); return;
        case ValueType::Image: quoted("[image:" + v.text() + "]"); return;
        case ValueType::Audio: quoted("[audio:" + v.text() + "]"); return;
        case ValueType::Video: quoted("[video:" + v.text() + "]"); return;
        case ValueType::Table: writeTable(v.env(), depth); return;
        }
    }

  private:
    std::vector<const Environment*> open_; // tables being written, outermost first

    static std::string vector3Text(const char* name, const Value& v) {
        return std::string(name) + "(" + numberText(v.x()) + ", " + numberText(v.y()) + ", " +
               numberText(v.z()) + ")";
    }

    // Plain decimal digits, the fewest that read back to the same double:
    // the tokenizer has no exponents. Subnormals would read back as zero.
    void writeNumber(double d) {
        if (!std::isfinite(d) || (d != 0 && std::fabs(d) < DBL_MIN))
            error("save() can't write the number " + numberText(d) +
                  ", a .kcat file only keeps normal numbers");
        if (d == 0) {
            out += std::signbit(d) ? "-0" : "0";
            return;
        }
        // The shortest digits come in scientific form; lay them out plainly.
        char buf[40];
        char* end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific).ptr;
        const char* p = buf;
        if (*p == '-') out += *p++;
        std::string digits;
        for (; *p != 'e'; ++p)
            if (*p != '.') digits += *p;
        int exponent = 0;
        std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
        int point = exponent + 1; // digits before the decimal point
        int count = static_cast<int>(digits.size());
        if (point <= 0) {
            out += "0.";
            out.append(static_cast<size_t>(-point), '0');
            out += digits;
        } else if (point >= count) {
            out += digits;
            out.append(static_cast<size_t>(point - count), '0');
        } else {
            out.append(digits, 0, static_cast<size_t>(point));
            out += '.';
            out.append(digits, static_cast<size_t>(point));
        }
    }

    void quoted(const std::string& text) {
        if (!stringReadsBack(text))
            error("save() can't write a string with a \" in it or a \\ at its end");
        out += '"';
        out += text;
        out += '"';
    }

    void indent(int depth) { out.append(static_cast<size_t>(depth) * 4, ' '); }

    void writeTable(const Environment* table, int depth) {
        // Deeper than this would not read back through the parser either.
        if (depth >= 390) error("save() can't write tables nested that deep");
        checkStack("save() can't write tables nested that deep");
        for (const Environment* outer : open_)
            if (outer == table) error("save() can't write a table that holds itself");
        open_.push_back(table);
        out += "{\n";
        bool first = true;
        for (auto& [key, entry] : table->entries()) {
            if (!keyReadsBack(key))
                error("save() can't write the key '" + key + "', a .kcat key must be one word");
            if (!first) out += ",\n";
            first = false;
            indent(depth + 1);
            out += key;
            out += " = ";
            write(entry, depth + 1);
        }
        out += "\n";
        indent(depth);
        out += "}";
        open_.pop_back();
    }
};
} // namespace

std::string valueToKcat(const Value& value, int depth) {
    KcatWriter writer;
    writer.write(value, depth);
    return std::move(writer.out);
}

Value readKcat(const std::string& text, Scope* root) {
    TokenList tokens = tokenize(text);
    if (tokens.empty() || tokens[0].text != "{") error(".kcat file must start with a table {}");
    uint64_t pos = 0;
    NodePtr statement = parseStmt(tokens, pos);
    if (!statement) error(".kcat file is empty");
    ChainSwitch chain(root);
    LocalScope scope;
    Value table = statement->eval();
    if (!table.is(ValueType::Table)) error(".kcat file must contain only a table");
    return table;
}
