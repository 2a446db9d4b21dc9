// The launchers' records read: Heroic's JSON, and the two keys of Lutris' and
// Bottles' YAML that tell where a prefix lies. Nothing here touches a file.
#include "model/launchers.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace {

using Json = nlohmann::json;

bool EndsWith(const Text& text, std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int HexWorth(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    return digit >= 'A' && digit <= 'F' ? digit - 'A' + 10 : -1;
}

// The UTF-8 form of a code point that YAML's \x, \u or \U escape gives.
bool AppendUtf8(unsigned long point, Text* text) {
    if (point == 0 || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
    if (point < 0x80) {
        *text += static_cast<char>(point);
    } else if (point < 0x800) {
        *text += static_cast<char>(0xC0 | (point >> 6));
        *text += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *text += static_cast<char>(0xE0 | (point >> 12));
        *text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *text += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        *text += static_cast<char>(0xF0 | (point >> 18));
        *text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        *text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *text += static_cast<char>(0x80 | (point & 0x3F));
    }
    return true;
}

// The end of a line after a value: blanks, then nothing or a comment.
bool OnlyCommentFrom(std::string_view rest) {
    size_t first = rest.find_first_not_of(' ');
    return first == std::string_view::npos || rest[first] == '#';
}

// A scalar on one line, in the forms PyYAML writes a path: plain, single-
// quoted or double-quoted with escapes. Nothing for anything else: a block or
// flow value, an anchor, a tag, a null, or a quoted text that goes on.
std::optional<Text> OneLineScalar(std::string_view value) {
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    if (value.empty()) return std::nullopt;
    Text scalar;
    if (value[0] == '\'') {
        size_t at = 1;
        for (; at < value.size(); ++at) {
            if (value[at] != '\'') {
                scalar += value[at];
            } else if (at + 1 < value.size() && value[at + 1] == '\'') {
                scalar += '\'';
                ++at;
            } else {
                break;
            }
        }
        if (at >= value.size() || !OnlyCommentFrom(value.substr(at + 1))) return std::nullopt;
        return scalar;
    }
    if (value[0] == '"') {
        size_t at = 1;
        for (; at < value.size() && value[at] != '"'; ++at) {
            if (value[at] != '\\') {
                scalar += value[at];
                continue;
            }
            if (++at == value.size()) return std::nullopt;
            const char escaped = value[at];
            const size_t digits = escaped == 'x' ? 2 : escaped == 'u' ? 4 : escaped == 'U' ? 8 : 0;
            if (digits) {
                const std::string_view hex = value.substr(at + 1, digits);
                unsigned long point = 0;
                for (char digit : hex) {
                    const int worth = HexWorth(digit);
                    if (worth < 0) return std::nullopt;
                    point = point * 16 + static_cast<unsigned long>(worth);
                }
                if (hex.size() != digits || !AppendUtf8(point, &scalar)) return std::nullopt;
                at += digits;
            } else if (escaped == '\\' || escaped == '"' || escaped == '/' || escaped == ' ') {
                scalar += escaped;
            } else if (escaped == 't') {
                scalar += '\t';
            } else {
                return std::nullopt;
            }
        }
        if (at >= value.size() || !OnlyCommentFrom(value.substr(at + 1))) return std::nullopt;
        return scalar;
    }
    if (std::string_view("&*!|>{}[]%@`#,\"'").find(value[0]) != std::string_view::npos) return std::nullopt;
    if (value.size() > 1 && std::string_view("-?:").find(value[0]) != std::string_view::npos && value[1] == ' ')
        return std::nullopt;
    const size_t comment = value.find(" #");
    scalar = Text(value.substr(0, comment));
    while (!scalar.empty() && scalar.back() == ' ') scalar.pop_back();
    if (scalar.find(": ") != Text::npos || EndsWith(scalar, ":") || scalar == "~" || scalar == "null" ||
        scalar == "Null" || scalar == "NULL")
        return std::nullopt;
    return scalar;
}

// One line of a block mapping, "key: value" or "key:"; nothing for a line
// that is not one (a sequence item, a quoted or complex key, a flow value).
std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
    if (line.empty() || std::string_view("-?\"'{[&*!|>%@`#").find(line[0]) != std::string_view::npos)
        return std::nullopt;
    size_t colon = line.find(':');
    while (colon != std::string_view::npos && colon + 1 < line.size() && line[colon + 1] != ' ')
        colon = line.find(':', colon + 1);
    if (colon == std::string_view::npos) return std::nullopt;
    return std::make_pair(line.substr(0, colon), line.substr(colon + 1));
}

// The value of one key of a YAML file in the block form PyYAML writes: at the
// top level when parent is null, else one level down under the top-level
// parent. Only the lines on the way are read; any of them that this reader
// does not understand (a tab in the indentation, a flow value, a key twice,
// more than one document) gives nothing. A plain value that PyYAML folded
// onto the next lines is joined again, a space for each line break.
std::optional<Text> BlockYamlValue(const ByteArray& bytes, const char* parent, const char* key) {
    const std::string text(bytes.begin(), bytes.end());
    if (text.find('\0') != std::string::npos) return std::nullopt;
    std::optional<Text> found;
    bool inParent = false, seenParent = false, started = false;
    bool topKeyOpen = false, childKeyOpen = false;  // the last key at its level had no value on its line
    bool valueJustRead = false, plainValue = false, blankSince = false;
    size_t childIndent = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const size_t indent = std::min(line.find_first_not_of(' '), line.size());
        if (indent == line.size()) {
            blankSince = true;
            continue;
        }
        if (line[indent] == '#') continue;
        if (line[indent] == '\t') return std::nullopt;
        const size_t keyIndent = parent ? childIndent : 0;
        if (valueJustRead && indent > keyIndent) {
            const std::optional<Text> more = plainValue && !blankSince ? OneLineScalar(line.substr(indent)) : std::nullopt;
            if (!more || line.find(" #") != std::string_view::npos) return std::nullopt;
            *found += " " + *more;
            continue;
        }
        valueJustRead = false;
        const bool first = !started;
        started = true;
        if (indent > 0) {
            if (!parent || !inParent) continue;  // inside another key's value
            if (childIndent == 0) childIndent = indent;
            if (indent < childIndent) return std::nullopt;
            if (indent > childIndent) continue;
        } else if (line.rfind("---", 0) == 0 || line.rfind("...", 0) == 0 || line[0] == '%') {
            if (first && line == "---") continue;
            return std::nullopt;
        }
        const std::string_view rest = line.substr(indent);
        if (rest == "-" || rest.rfind("- ", 0) == 0) {
            // PyYAML writes a sequence at its key's own indentation.
            if (!(indent == 0 ? topKeyOpen : childKeyOpen) || (indent == 0 && inParent)) return std::nullopt;
            continue;
        }
        const auto keyLine = KeyLine(rest);
        if (!keyLine) return std::nullopt;
        (indent == 0 ? topKeyOpen : childKeyOpen) = OnlyCommentFrom(keyLine->second);
        if (indent == 0 && parent) {
            inParent = keyLine->first == parent;
            childIndent = 0;
            childKeyOpen = false;
            if (!inParent) continue;
            if (seenParent || !topKeyOpen) return std::nullopt;
            seenParent = true;
            continue;
        }
        if (keyLine->first != key) continue;
        if (found) return std::nullopt;  // the key twice
        found = OneLineScalar(keyLine->second);
        if (!found) return std::nullopt;
        const size_t value = keyLine->second.find_first_not_of(' ');
        plainValue = keyLine->second[value] != '\'' && keyLine->second[value] != '"';
        valueJustRead = true;
        blankSince = false;
    }
    return found;
}

std::vector<Text> Listed(const std::optional<Text>& value) {
    return value && !value->empty() ? std::vector<Text>{*value} : std::vector<Text>();
}

}  // namespace

std::vector<Text> HeroicPrefixesIn(const ByteArray& gamesConfig) {
    const Json config = Json::parse(gamesConfig.begin(), gamesConfig.end(), nullptr, false);
    std::vector<Text> prefixes;
    if (!config.is_object()) return prefixes;
    for (const auto& game : config.items()) {
        const Json& settings = game.value();
        if (!settings.is_object()) continue;
        auto prefix = settings.find("winePrefix");
        if (prefix == settings.end() || !prefix->is_string()) continue;
        Text path = prefix->get<std::string>();
        if (path.empty() || path.find('\0') != Text::npos) continue;
        auto wine = settings.find("wineVersion");
        if (wine != settings.end() && wine->is_object() && wine->value("type", Json()) == "proton") {
            while (path.size() > 1 && path.back() == '/') path.pop_back();
            path += "/pfx";
        }
        prefixes.push_back(path);
    }
    return prefixes;
}

std::vector<Text> LutrisPrefixesIn(const ByteArray& gameRecord) { return Listed(BlockYamlValue(gameRecord, "game", "prefix")); }

std::vector<Text> BottlesFoldersIn(const ByteArray& bottlesData) {
    return Listed(BlockYamlValue(bottlesData, nullptr, "custom_bottles_path"));
}
