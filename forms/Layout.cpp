#include "forms/Layout.h"

#include <cctype>

namespace forms {

LayoutError::LayoutError(std::string_view file, int line, const std::string& what)
    : std::runtime_error(std::string(file) + ":" + std::to_string(line) + ": " + what), line_(line) {}

namespace {

class Parser {
public:
    Parser(std::string_view text, std::string_view file) : text_(text), file_(file) {}

    ObjectRecord parseDocument() {
        skipSpace();
        if (atEnd()) fail("the layout is empty");
        ObjectRecord root = parseObject();
        skipSpace();
        if (!atEnd()) fail("unexpected text after the last 'end'");
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throw LayoutError(file_, line_, what); }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipSpace() {
        while (!atEnd()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (!atEnd() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    // Skips blanks on the current line only: a value must stand on the line of its name.
    void skipInlineSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\r')) ++pos_;
    }

    static bool isIdentStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
    static bool isIdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

    std::string identifier(const char* what) {
        if (!isIdentStart(peek())) fail(std::string("expected ") + what);
        const std::size_t start = pos_;
        while (isIdentChar(peek())) ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    void expect(char c) {
        skipInlineSpace();
        if (peek() != c) fail(std::string("expected '") + c + "'");
        ++pos_;
    }

    ObjectRecord parseObject() {
        ObjectRecord record;
        record.line = line_;
        if (identifier("'object'") != "object") fail("expected 'object'");
        skipInlineSpace();
        record.name = identifier("an object name");
        expect(':');
        skipInlineSpace();
        record.className = identifier("a class name");
        endOfLine();
        for (;;) {
            skipSpace();
            if (atEnd()) fail("'" + record.name + "' has no 'end'");
            const int line = line_;
            const std::size_t start = pos_;
            const std::string word = identifier("a property, 'object' or 'end'");
            if (word == "end") {
                endOfLine();
                return record;
            }
            if (word == "object") {
                pos_ = start;
                record.children.push_back(parseObject());
                continue;
            }
            Property property;
            property.line = line;
            property.name = word;
            while (peek() == '.') {
                ++pos_;
                property.name += '.';
                property.name += identifier("a property name after '.'");
            }
            expect('=');
            property.value = parseValue();
            endOfLine();
            record.properties.push_back(std::move(property));
        }
    }

    void endOfLine() {
        skipInlineSpace();
        if (peek() == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') return;
        if (!atEnd() && peek() != '\n') fail("unexpected text at the end of the line");
    }

    Value parseValue() {
        skipInlineSpace();
        Value value;
        const char c = peek();
        if (c == '[') {
            ++pos_;
            value.kind = Value::Kind::Set;
            skipInlineSpace();
            if (peek() == ']') {
                ++pos_;
                return value;
            }
            for (;;) {
                skipInlineSpace();
                value.items.push_back(identifier("a set member"));
                skipInlineSpace();
                if (peek() == ']') {
                    ++pos_;
                    return value;
                }
                expect(',');
            }
        }
        if (c == '(') {
            ++pos_;
            value.kind = Value::Kind::List;
            for (;;) {
                skipSpace();
                if (peek() == ')') {
                    ++pos_;
                    return value;
                }
                if (atEnd()) fail("the list has no ')'");
                value.items.push_back(quotedText());
            }
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = Value::Kind::Integer;
            value.integer = integer();
            return value;
        }
        if (c == '\'' || c == '#' || isIdentStart(c)) return textExpression();
        fail("expected a value");
    }

    std::int64_t integer() {
        bool negative = false;
        if (peek() == '-') {
            negative = true;
            ++pos_;
        }
        if (!std::isdigit(static_cast<unsigned char>(peek()))) fail("expected a number");
        std::int64_t n = 0;
        while (std::isdigit(static_cast<unsigned char>(peek()))) {
            n = n * 10 + (peek() - '0');
            if (n > 0x7fffffff) fail("the number is too large");
            ++pos_;
        }
        return negative ? -n : n;
    }

    // One or more texts and symbols joined by '+'. A lone identifier stays an Identifier.
    Value textExpression() {
        Value value;
        value.kind = Value::Kind::Text;
        bool joined = false;
        for (;;) {
            skipInlineSpace();
            if (isIdentStart(peek())) {
                value.text.push_back({true, identifier("a name")});
            } else if (peek() == '\'' || peek() == '#') {
                value.text.push_back({false, quotedText()});
            } else {
                fail("expected a text or a name after '+'");
            }
            skipInlineSpace();
            if (peek() != '+') break;
            ++pos_;
            joined = true;
        }
        if (!joined && value.text.size() == 1 && value.text[0].isSymbol) value.kind = Value::Kind::Identifier;
        return value;
    }

    // 'abc'#13'def' : quoted runs and byte codes written next to each other form one text.
    std::string quotedText() {
        std::string bytes;
        bool any = false;
        for (;;) {
            if (peek() == '\'') {
                ++pos_;
                for (;;) {
                    if (atEnd() || peek() == '\n') fail("the text has no closing quote");
                    const char ch = text_[pos_++];
                    if (ch == '\'') {
                        if (peek() != '\'') break;
                        ++pos_;
                    }
                    bytes += ch;
                }
            } else if (peek() == '#') {
                ++pos_;
                const std::int64_t code = integer();
                if (code < 0 || code > 255) fail("a byte code must be 0 to 255");
                bytes += static_cast<char>(code);
            } else {
                break;
            }
            any = true;
        }
        if (!any) fail("expected a quoted text");
        return bytes;
    }

    std::string_view text_;
    std::string_view file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

ObjectRecord parseLayout(std::string_view text, std::string_view fileName) {
    return Parser(text, fileName).parseDocument();
}

}  // namespace forms
