// Steam's list of its libraries, steamapps/libraryfolders.vdf, in KeyValues.
#include "model/steam_library.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

// Steam's own file lists a few libraries in a few kilobytes: a larger one is
// not that list, and reading it would only cost time and memory.
constexpr size_t kLargestLibraryFolders = 1 << 20;

// One token of KeyValues text.
enum class Token { String, Open, Close, End, Bad };

// KeyValues as Steam writes it: quoted strings with \\ \" \n \t escapes, bare
// words, braces, and // comments to the end of the line.
class KeyValuesTokens {
public:
    // Reads the bytes where they are: the file is not copied.
    explicit KeyValuesTokens(const ByteArray& bytes)
        : text_(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}

    Token Next(Text* string) {
        SkipBlanksAndComments();
        if (at_ == text_.size()) return Token::End;
        const char first = text_[at_];
        if (first == '{' || first == '}') {
            ++at_;
            return first == '{' ? Token::Open : Token::Close;
        }
        string->clear();
        if (first != '"') {
            while (at_ < text_.size() && !IsBlank(text_[at_]) && !IsIn(text_[at_], "{}\"")) *string += text_[at_++];
            return Token::String;
        }
        for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) {
                const char escaped = text_[++at_];
                *string += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
            } else {
                *string += text_[at_];
            }
        }
        if (at_ == text_.size()) return Token::Bad;  // no closing quote
        ++at_;
        return Token::String;
    }

    // A zero byte is in no text file.
    bool IsText() const { return text_.find('\0') == std::string_view::npos; }

private:
    static bool IsIn(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }
    static bool IsBlank(char c) { return IsIn(c, " \t\r\n\f\v"); }

    void SkipBlanksAndComments() {
        for (;;) {
            while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
            if (text_.substr(at_, 2) != "//") return;
            at_ = std::min(text_.find('\n', at_), text_.size());
        }
    }

    std::string_view text_;
    size_t at_ = 0;
};

// KeyValues keys are compared without regard to ASCII case.
bool SameIgnoringCase(const Text& key, std::string_view lowerCase) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return key.size() == lowerCase.size() &&
           std::equal(key.begin(), key.end(), lowerCase.begin(), [&](char a, char b) { return lower(a) == b; });
}

bool IsNumber(const Text& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == Text::npos;
}

}  // namespace

std::vector<Text> LibraryPathsIn(const ByteArray& libraryFolders) {
    if (libraryFolders.size() > kLargestLibraryFolders) return {};
    KeyValuesTokens tokens(libraryFolders);
    if (!tokens.IsText()) return {};
    std::vector<Text> paths;
    // Only the two outer blocks matter, each judged once as it opens: the
    // list, and a numbered library in it. Deeper blocks are counted.
    size_t depth = 0;
    bool inList = false, inNumbered = false;
    Text key, value;
    for (Token token; (token = tokens.Next(&key)) != Token::End;) {
        if (token == Token::Close && depth > 0) {
            --depth;
            if (depth < 2) inNumbered = false;
            if (depth < 1) inList = false;
            continue;
        }
        Token next = token == Token::String ? tokens.Next(&value) : Token::Bad;
        if (next == Token::Open) {
            if (depth == 0) inList = SameIgnoringCase(key, "libraryfolders");
            if (depth == 1) inNumbered = inList && IsNumber(key);
            ++depth;
            continue;
        }
        if (next != Token::String) return {};
        const bool oldForm = inList && depth == 1 && IsNumber(key);
        const bool newForm = inNumbered && depth == 2 && SameIgnoringCase(key, "path");
        if ((oldForm || newForm) && !value.empty()) paths.push_back(value);
    }
    return depth == 0 ? paths : std::vector<Text>();
}
