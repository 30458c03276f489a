// The stored form of a profile document: an ordered tree of named, typed
// values, its text encoding, and the merge that Save applies. No Windows
// header: text is UTF-16 (char16_t), numbers keep their automation kind.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace testhost {

// The automation kinds a document keeps (one letter each in the file).
enum class Kind : char {
    Empty = 'E', Null = 'N', Nothing = 'O', Text = 'S', Byte = 'u', I2 = 'i', I4 = 'l',
    R4 = 'f', R8 = 'd', Currency = 'c', Date = 't', Bool = 'b', Dict = 'D',
};

struct Node;

struct Value {
    Kind kind = Kind::Empty;
    std::u16string text;          // Text
    std::int64_t integer = 0;     // Byte, I2, I4, Currency (scaled by 10000), Bool (0 or 1)
    double real = 0;              // R4, R8, Date
    std::shared_ptr<Node> dict;   // Dict
};

struct Entry {
    std::u16string name;
    Value value;
};

// A dictionary: entries in the order they were first stored; names compare
// exactly (with regard to case).
struct Node {
    std::vector<Entry> entries;

    const Value* Find(std::u16string_view name) const;
    void Set(std::u16string_view name, const Value& value);  // replaces in place or appends
    void Remove(std::u16string_view name);
};

Value Clone(const Value& v);
bool Same(const Value& a, const Value& b);

// The file form: plain ASCII lines, ended by a closing line, so a cut-off
// file is recognised as broken rather than read as a shorter document.
std::string Serialize(const Node& root);
// False when the text is not a complete document.
bool Parse(std::string_view text, Node& root);

// Applies onto `stored` what changed from `before` (the document as it was
// loaded) to `after` (as it is now): entries added or changed are set,
// entries removed are removed, nested dictionaries are merged entry by
// entry (a dictionary added since the load too, when `stored` has gained one
// of the same name: both writers' entries stay, ours win on a shared name).
// Entries nobody touched keep what `stored` has, so changes that another
// writer saved meanwhile survive.
void ApplyChanges(const Node& before, const Node& after, Node& stored);

}  // namespace testhost
