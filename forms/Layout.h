#pragma once
// The stored window layout: the designer's object / property / end notation,
// read into a tree of records. This file knows the notation only; what the
// properties mean is decided in LayoutArgs.
//
//   object Form1: TForm1
//     Caption = 'vod2.0'
//     Font.Style = []
//     object Panel1: TPanel
//       Hint = MakerCredit + '   ' + ForumAddress
//     end
//   end
//
// Values are integers, quoted texts ('' stands for one quote, #nn for the byte
// nn), identifiers, texts and identifiers joined by '+', sets in [ ] and
// lists of texts in ( ). Texts are kept as raw bytes.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace forms {

// A fault in a stored layout, always naming the file and line.
class LayoutError : public std::runtime_error {
public:
    LayoutError(std::string_view file, int line, const std::string& what);
    int line() const { return line_; }

private:
    int line_;
};

struct TextPart {
    bool isSymbol = false;  // a name to look up rather than literal bytes
    std::string bytes;
};

struct Value {
    enum class Kind { Integer, Text, Identifier, Set, List };
    Kind kind = Kind::Integer;
    std::int64_t integer = 0;
    std::vector<TextPart> text;          // Text (an Identifier is one symbol part)
    std::vector<std::string> items;      // Set members or List texts
};

struct Property {
    std::string name;  // dotted, as written: "Font.Height"
    Value value;
    int line = 0;
};

struct ObjectRecord {
    std::string name;
    std::string className;
    int line = 0;
    std::vector<Property> properties;
    std::vector<ObjectRecord> children;
};

// Reads one top-level object. Throws LayoutError on anything malformed.
ObjectRecord parseLayout(std::string_view text, std::string_view fileName);

}  // namespace forms
