#include "front/token.h"

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isNameChar(char c) {
    return isLetter(c) || isDigit(c) || c == '_';
}

// The second character of a two-character operator, or 0.
bool joins(char first, char next) {
    switch (first) {
    case '=':
    case '!':
    case '^':
    case '~': return next == '=';
    case '<': return next == '=' || next == '<';
    case '>': return next == '=' || next == '>';
    case '&': return next == '=' || next == '&';
    case '|': return next == '=' || next == '|';
    default: return false;
    }
}

class Scanner {
  public:
    explicit Scanner(const std::string& s) : src_(s) {}

    TokenList run() {
        TokenList out;
        while (pos_ < src_.size()) {
            char c = src_[pos_];
            if (isSpace(c)) {
                advance(1);
            } else if (c == '/' && peek(1) == '/') {
                while (pos_ < src_.size() && src_[pos_] != '\n')
                    advance(1);
            } else if (c == '/' && peek(1) == '*') {
                advance(2);
                while (pos_ < src_.size() && !(src_[pos_] == '*' && peek(1) == '/'))
                    advance(1);
                if (pos_ < src_.size()) advance(2);
            } else {
                Token t{"", line_, col_};
                size_t start = pos_;
                if (isLetter(c) || c == '_') {
                    while (pos_ < src_.size() && isNameChar(src_[pos_]))
                        advance(1);
                    t.text = src_.substr(start, pos_ - start);
                } else if (isDigit(c)) {
                    while (pos_ < src_.size() && (isDigit(src_[pos_]) || src_[pos_] == '.'))
                        advance(1);
                    t.text = src_.substr(start, pos_ - start);
                } else if (c == '"' || c == '\'') {
                    t.text = quoted(c);
                } else {
                    size_t len = pos_ + 1 < src_.size() && joins(c, src_[pos_ + 1]) ? 2 : 1;
                    advance(len);
                    t.text = src_.substr(start, len);
                }
                out.push_back(std::move(t));
            }
        }
        return out;
    }

  private:
    const std::string& src_;
    size_t pos_ = 0;
    int line_ = 1, col_ = 1;

    char peek(size_t ahead) const { return pos_ + ahead < src_.size() ? src_[pos_ + ahead] : '\0'; }
    void advance(size_t n) {
        for (size_t i = 0; i < n && pos_ < src_.size(); ++i, ++pos_) {
            if (src_[pos_] == '\n') {
                ++line_;
                col_ = 1;
            } else {
                ++col_;
            }
        }
    }
    // Escapes stay as written; an unterminated string still gets its quote.
    std::string quoted(char quote) {
        size_t start = pos_;
        advance(1);
        while (pos_ < src_.size() && src_[pos_] != quote)
            advance(src_[pos_] == '\\' ? 2 : 1);
        std::string text = src_.substr(start, pos_ - start);
        if (pos_ < src_.size()) advance(1);
        return text + quote;
    }
};
} // namespace

TokenList tokenize(const std::string& source) {
    return Scanner(source).run();
}
