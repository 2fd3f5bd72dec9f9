#include "app/Layout.h"

#include <cctype>
#include <cstdint>
#include <limits>

namespace vardak::app {

namespace {

// Guards against runaway nesting in damaged text.
constexpr int kMaxDepth = 32;

bool isIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    LayoutObject parseDocument() {
        LayoutObject object = parseObject(0);
        skipBlanks();
        if (!atEnd()) fail("text after the last 'end'");
        return object;
    }

private:
    [[noreturn]] void fail(const std::string& message) const { throw LayoutError(line_, message); }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }

    char next() {
        const char c = text_[pos_++];
        if (c == '\n') ++line_;
        return c;
    }

    void skipBlanks() {
        while (!atEnd()) {
            if (std::isspace(static_cast<unsigned char>(peek()))) {
                next();
            } else if (peek() == '/' && peek(1) == '/') {
                while (!atEnd() && peek() != '\n') next();
            } else {
                break;
            }
        }
    }

    std::string identifier() {
        skipBlanks();
        if (!isIdentStart(peek())) fail("a name was expected");
        std::string name;
        while (isIdentChar(peek())) name += next();
        return name;
    }

    // A name with dots ("Font.Height").
    std::string dottedName() {
        std::string name = identifier();
        while (peek() == '.') {
            next();
            name += '.' + identifier();
        }
        return name;
    }

    void expect(char c) {
        skipBlanks();
        if (peek() != c) fail(std::string("'") + c + "' was expected");
        next();
    }

    bool keywordAhead(std::string_view word) {
        skipBlanks();
        if (text_.substr(pos_, word.size()) != word) return false;
        return !isIdentChar(peek(word.size()));
    }

    void keyword(std::string_view word) {
        if (!keywordAhead(word)) fail("'" + std::string(word) + "' was expected");
        for (size_t i = 0; i < word.size(); ++i) next();
    }

    LayoutObject parseObject(int depth) {
        if (depth > kMaxDepth) fail("objects nested too deep");
        keyword("object");
        LayoutObject object;
        object.name = identifier();
        expect(':');
        object.className = identifier();
        while (true) {
            if (keywordAhead("end")) {
                keyword("end");
                return object;
            }
            if (keywordAhead("object")) {
                object.children.push_back(parseObject(depth + 1));
                continue;
            }
            if (atEnd()) fail("'end' is missing");
            object.properties.push_back(parseProperty(depth));
        }
    }

    LayoutProperty parseProperty(int depth) {
        LayoutProperty property;
        property.name = dottedName();
        expect('=');
        property.value = parseValue(depth);
        return property;
    }

    LayoutValue parseValue(int depth) {
        skipBlanks();
        const char c = peek();
        if (c == '\'' || c == '#') return LayoutValue::string(parseString());
        if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) return LayoutValue::integer(parseInteger());
        if (c == '[') return parseSet();
        if (c == '{') return LayoutValue::binary(parseBinary());
        if (c == '<') return parseCollection(depth);
        if (isIdentStart(c) && !keywordAhead("end") && !keywordAhead("object")) {
            return LayoutValue::identifier(identifier());
        }
        fail("a value was expected");
    }

    int64_t parseInteger() {
        const bool negative = peek() == '-';
        if (negative) next();
        const bool hex = peek() == '$';
        if (hex) next();
        const int base = hex ? 16 : 10;
        int64_t value = 0;
        int digits = 0;
        while (true) {
            const int digit = hexDigit(peek());
            if (digit < 0 || digit >= base) break;
            next();
            if (value > (std::numeric_limits<int64_t>::max() - digit) / base) fail("number too large");
            value = value * base + digit;
            ++digits;
        }
        if (digits == 0) fail("digits were expected");
        return negative ? -value : value;
    }

    std::string parseString() {
        std::string text;
        while (true) {
            skipBlanks();
            if (peek() == '\'') {
                next();
                while (true) {
                    if (atEnd() || peek() == '\n') fail("string without its closing quote");
                    const char c = next();
                    if (c != '\'') {
                        text += c;
                    } else if (peek() == '\'') {
                        text += next();
                    } else {
                        break;
                    }
                }
            } else if (peek() == '#') {
                next();
                int code = 0;
                int digits = 0;
                while (std::isdigit(static_cast<unsigned char>(peek()))) {
                    code = code * 10 + (next() - '0');
                    if (code > 255) fail("character code above 255");
                    ++digits;
                }
                if (digits == 0) fail("character code was expected");
                text += static_cast<char>(code);
            } else {
                break;
            }
            skipBlanks();
            if (peek() == '+') {
                next();
                skipBlanks();
                if (peek() != '\'' && peek() != '#') fail("a string was expected after '+'");
            } else if (peek() != '\'' && peek() != '#') {
                return text;
            }
        }
        return text;
    }

    LayoutValue parseSet() {
        next();
        LayoutValue value;
        value.kind = LayoutValue::Kind::Set;
        skipBlanks();
        if (peek() == ']') {
            next();
            return value;
        }
        while (true) {
            value.members.push_back(identifier());
            skipBlanks();
            if (peek() == ']') {
                next();
                return value;
            }
            expect(',');
        }
    }

    std::vector<uint8_t> parseBinary() {
        next();
        std::vector<uint8_t> bytes;
        int high = -1;
        while (true) {
            skipBlanks();
            if (atEnd()) fail("'}' is missing");
            const char c = next();
            if (c == '}') break;
            const int digit = hexDigit(c);
            if (digit < 0) fail("a hex digit was expected");
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) fail("odd number of hex digits");
        return bytes;
    }

    LayoutValue parseCollection(int depth) {
        if (depth > kMaxDepth) fail("values nested too deep");
        next();
        LayoutValue value;
        value.kind = LayoutValue::Kind::Collection;
        while (true) {
            skipBlanks();
            if (peek() == '>') {
                next();
                return value;
            }
            keyword("item");
            LayoutValue::CollectionItem item;
            while (!keywordAhead("end")) {
                if (atEnd()) fail("'end' of an item is missing");
                item.properties.push_back(parseProperty(depth + 1));
            }
            keyword("end");
            value.items.push_back(std::move(item));
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

LayoutObject parseLayout(std::string_view text) {
    return Parser(text).parseDocument();
}

}  // namespace vardak::app
