// The registry's file text: "[path]" lines open a key, '@="..."' and '"name"="..."' lines give
// its values; ';' starts a comment line. The reader accepts nothing else.
#include <cstdio>

#include "Registry.h"
#include "RegistryPath.h"
#include "Utf8.h"

namespace velmora::com::registry {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "; Velmora component registry\n";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// Writes the text between quotes: quotes, backslashes and control characters escaped, bytes
// that are not valid UTF-8 written as \xHH so that the file stays valid UTF-8 text.
void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (size_t pos = 0; pos < text.size();) {
        const utf8::Decoded d = utf8::DecodeAt(text, pos);
        if (d.valid && !IsControl(static_cast<unsigned char>(text[pos]))) {
            if (text[pos] == '\\' || text[pos] == '"') out += '\\';
            out.append(text.substr(pos, d.length));
        } else if (d.valid && text[pos] == '\n') {
            out += "\\n";
        } else if (d.valid && text[pos] == '\r') {
            out += "\\r";
        } else if (d.valid && text[pos] == '\t') {
            out += "\\t";
        } else {
            for (size_t i = 0; i < d.length; ++i) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X",
                              static_cast<unsigned char>(text[pos + i]));
                out += escape;
            }
        }
        pos += d.length;
    }
    out += '"';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] (the opening quote); leaves pos after the closing
// quote.
bool ReadQuoted(std::string_view line, size_t& pos, std::string* out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    out->clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            if (IsControl(static_cast<unsigned char>(c)) && c != '\t') return false;
            *out += c;
            continue;
        }
        if (pos >= line.size()) return false;
        const char escaped = line[pos++];
        switch (escaped) {
        case '\\':
        case '"':
            *out += escaped;
            break;
        case 'n':
            *out += '\n';
            break;
        case 'r':
            *out += '\r';
            break;
        case 't':
            *out += '\t';
            break;
        case 'x': {
            if (pos + 2 > line.size()) return false;
            const int high = HexDigit(line[pos]), low = HexDigit(line[pos + 1]);
            if (high < 0 || low < 0) return false;
            *out += static_cast<char>(high * 16 + low);
            pos += 2;
            break;
        }
        default:
            return false;
        }
    }
    return false; // no closing quote
}

void SkipBlanks(std::string_view line, size_t& pos) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
}

std::string_view TrimBlanks(std::string_view line) {
    size_t first = 0;
    SkipBlanks(line, first);
    line.remove_prefix(first);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

} // namespace

std::string Registry::Serialize() const {
    std::string out(kHeader);
    for (const auto& [folded, key] : keys_) {
        out += '\n';
        out += '[';
        out += key.path;
        out += "]\n";
        for (const auto& [foldedName, entry] : key.values) {
            const auto& [name, value] = entry;
            if (name.empty())
                out += '@';
            else
                AppendQuoted(out, name);
            out += '=';
            AppendQuoted(out, value);
            out += '\n';
        }
    }
    return out;
}

std::optional<Registry> Registry::Parse(const std::string& text) {
    try {
        std::string_view rest(text);
        if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark)
            rest.remove_prefix(kByteOrderMark.size());
        if (!utf8::IsValid(rest)) return std::nullopt;

        Registry registry;
        std::optional<std::string> currentKey;
        bool anyContent = false;
        while (!rest.empty()) {
            const size_t end = rest.find('\n');
            const std::string_view line =
                TrimBlanks(rest.substr(0, end == std::string_view::npos ? rest.size() : end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            if (line.empty() || line[0] == ';') continue;

            // Exported registry files start with a version line; it carries nothing.
            const bool firstContent = !anyContent;
            anyContent = true;
            if (firstContent &&
                (line == "Windows Registry Editor Version 5.00" || line == "REGEDIT4"))
                continue;

            if (line[0] == '[') {
                if (line.size() < 3 || line.back() != ']') return std::nullopt;
                const std::string path(line.substr(1, line.size() - 2));
                const auto components = SplitKeyPath(path);
                if (!components || components->empty()) return std::nullopt;
                registry.EnsureKey(path);
                currentKey = path;
                continue;
            }
            if (!currentKey || (line[0] != '@' && line[0] != '"')) return std::nullopt;
            size_t pos = 0;
            std::string name, value;
            if (line[0] == '@')
                ++pos;
            else if (!ReadQuoted(line, pos, &name))
                return std::nullopt;
            SkipBlanks(line, pos);
            if (pos >= line.size() || line[pos] != '=') return std::nullopt;
            ++pos;
            SkipBlanks(line, pos);
            if (!ReadQuoted(line, pos, &value)) return std::nullopt;
            SkipBlanks(line, pos);
            if (pos != line.size()) return std::nullopt;
            registry.SetValue(*currentKey, name, value);
        }
        return registry;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace velmora::com::registry
