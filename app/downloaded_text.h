// Texts that come from the community site's one-line resources.
#pragma once

#include "support/text.h"

// The text without spaces, tabs, CR and LF at either end: a one-line
// resource ordinarily ends in a line end.
Text TrimBlanks(const Text& text);
