#include "document.h"

#include <cstring>

namespace testhost {

const Value* Node::Find(std::u16string_view name) const {
    for (const Entry& e : entries)
        if (e.name == name) return &e.value;
    return nullptr;
}

void Node::Set(std::u16string_view name, const Value& value) {
    for (Entry& e : entries)
        if (e.name == name) { e.value = Clone(value); return; }
    entries.push_back(Entry{std::u16string(name), Clone(value)});
}

void Node::Remove(std::u16string_view name) {
    for (auto it = entries.begin(); it != entries.end(); ++it)
        if (it->name == name) { entries.erase(it); return; }
}

Value Clone(const Value& v) {
    Value c = v;
    if (v.dict) {
        c.dict = std::make_shared<Node>();
        for (const Entry& e : v.dict->entries) c.dict->entries.push_back(Entry{e.name, Clone(e.value)});
    }
    return c;
}

bool Same(const Value& a, const Value& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
    case Kind::Text: return a.text == b.text;
    case Kind::Byte: case Kind::I2: case Kind::I4: case Kind::Currency: case Kind::Bool:
        return a.integer == b.integer;
    case Kind::R4: case Kind::R8: case Kind::Date:
        return std::memcmp(&a.real, &b.real, sizeof a.real) == 0;
    case Kind::Dict: {
        const auto& x = a.dict->entries;
        const auto& y = b.dict->entries;
        if (x.size() != y.size()) return false;
        for (size_t i = 0; i < x.size(); ++i)
            if (x[i].name != y[i].name || !Same(x[i].value, y[i].value)) return false;
        return true;
    }
    default: return true;
    }
}

namespace {

const char kHeader[] = "PYXDOC 1";
const char kEnd[] = "END";
const char kHex[] = "0123456789abcdef";

// Printable ASCII other than the escape character stands for itself; every
// other UTF-16 unit (unpaired surrogates included) is \xxxx. An empty text
// is a lone "\" so that no token is empty.
void PutText(std::string& out, std::u16string_view s) {
    if (s.empty()) { out += '\\'; return; }
    for (char16_t c : s) {
        if (c > 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            out += '\\';
            for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
        }
    }
}

bool GetText(std::string_view token, std::u16string& out) {
    out.clear();
    if (token == "\\") return true;
    for (size_t i = 0; i < token.size();) {
        if (token[i] != '\\') { out += static_cast<char16_t>(static_cast<unsigned char>(token[i++])); continue; }
        if (i + 5 > token.size()) return false;
        unsigned v = 0;
        for (size_t k = i + 1; k < i + 5; ++k) {
            const char* p = std::strchr(kHex, token[k]);
            if (!p || !*p) return false;
            v = v * 16 + static_cast<unsigned>(p - kHex);
        }
        out += static_cast<char16_t>(v);
        i += 5;
    }
    return true;
}

void PutHex(std::string& out, std::uint64_t v) {
    for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(v >> shift) & 0xF];
}

bool GetHex(std::string_view token, std::uint64_t& v) {
    if (token.size() != 16) return false;
    v = 0;
    for (char c : token) {
        const char* p = std::strchr(kHex, c);
        if (!p || !*p) return false;
        v = v * 16 + static_cast<unsigned>(p - kHex);
    }
    return true;
}

void PutNode(std::string& out, const Node& node) {
    for (const Entry& e : node.entries) {
        out += static_cast<char>(e.value.kind);
        out += ' ';
        PutText(out, e.name);
        out += ' ';
        const Value& v = e.value;
        switch (v.kind) {
        case Kind::Text: PutText(out, v.text); break;
        case Kind::Byte: case Kind::I2: case Kind::I4: case Kind::Currency: case Kind::Bool:
            PutHex(out, static_cast<std::uint64_t>(v.integer)); break;
        case Kind::R4: case Kind::R8: case Kind::Date: {
            std::uint64_t bits;
            std::memcpy(&bits, &v.real, sizeof bits);
            PutHex(out, bits);
            break;
        }
        default: out += '-'; break;
        }
        out += '\n';
        if (v.kind == Kind::Dict) {
            PutNode(out, *v.dict);
            out += ".\n";
        }
    }
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}
    bool Line(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) return false;  // a last line without its end is cut off
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }
    bool AtEnd() const { return pos_ == text_.size(); }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool KnownKind(char c) {
    for (char k : {'E', 'N', 'O', 'S', 'u', 'i', 'l', 'f', 'd', 'c', 't', 'b', 'D'})
        if (c == k) return true;
    return false;
}

// Reads entries up to the line `closing` ("." for a nested dictionary).
bool GetNode(Reader& in, Node& node, std::string_view closing, int depth) {
    if (depth > 64) return false;
    std::string_view line;
    while (in.Line(line)) {
        if (line == closing) return true;
        if (line.size() < 4 || line[1] != ' ' || !KnownKind(line[0])) return false;
        size_t space = line.find(' ', 2);
        if (space == std::string_view::npos) return false;
        Entry e;
        e.value.kind = static_cast<Kind>(line[0]);
        if (!GetText(line.substr(2, space - 2), e.name)) return false;
        std::string_view payload = line.substr(space + 1);
        Value& v = e.value;
        std::uint64_t bits = 0;
        switch (v.kind) {
        case Kind::Text:
            if (!GetText(payload, v.text)) return false;
            break;
        case Kind::Byte: case Kind::I2: case Kind::I4: case Kind::Currency: case Kind::Bool:
            if (!GetHex(payload, bits)) return false;
            v.integer = static_cast<std::int64_t>(bits);
            break;
        case Kind::R4: case Kind::R8: case Kind::Date:
            if (!GetHex(payload, bits)) return false;
            std::memcpy(&v.real, &bits, sizeof bits);
            break;
        case Kind::Dict:
            if (payload != "-") return false;
            v.dict = std::make_shared<Node>();
            if (!GetNode(in, *v.dict, ".", depth + 1)) return false;
            break;
        default:
            if (payload != "-") return false;
            break;
        }
        if (node.Find(e.name)) return false;
        node.entries.push_back(std::move(e));
    }
    return false;
}

}  // namespace

std::string Serialize(const Node& root) {
    std::string out = kHeader;
    out += '\n';
    PutNode(out, root);
    out += kEnd;
    out += '\n';
    return out;
}

bool Parse(std::string_view text, Node& root) {
    root.entries.clear();
    Reader in(text);
    std::string_view line;
    if (!in.Line(line) || line != kHeader) return false;
    if (!GetNode(in, root, kEnd, 0)) return false;
    return in.AtEnd();
}

void ApplyChanges(const Node& before, const Node& after, Node& stored) {
    static const Node kAbsent;
    for (const Entry& e : after.entries) {
        const Value* was = before.Find(e.name);
        // A dictionary that was loaded, or that is new since the load, is
        // merged entry by entry into the one stored now. A new one merges as
        // against an empty dictionary: every entry of ours is set, and what
        // another writer put into its own new dictionary of that name stays.
        if (e.value.kind == Kind::Dict && (!was || was->kind == Kind::Dict)) {
            const Value* now = stored.Find(e.name);
            if (now && now->kind == Kind::Dict) {
                // `stored` owns its nodes; merging into them changes it alone.
                for (Entry& s : stored.entries)
                    if (s.name == e.name) ApplyChanges(was ? *was->dict : kAbsent, *e.value.dict, *s.value.dict);
            } else {
                stored.Set(e.name, e.value);
            }
        } else if (!was || !Same(*was, e.value)) {
            stored.Set(e.name, e.value);
        }
    }
    for (const Entry& b : before.entries)
        if (!after.Find(b.name)) stored.Remove(b.name);
}

}  // namespace testhost
