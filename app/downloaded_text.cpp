#include "app/downloaded_text.h"

Text TrimBlanks(const Text& text) {
    const char* const blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == Text::npos) return Text();
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}
