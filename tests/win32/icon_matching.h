// Which of the system's message-box icons a picture shows: the tests draw
// each of them themselves and compare the pixels.
#pragma once

#include "tests/win32/screen_capture.h"

enum class BoxIcon { None, Error, Warning, Question, Information, Unknown };

const wchar_t* BoxIconName(BoxIcon icon);

// The icon drawn in the picture at any offset, or Unknown when none of the
// four matches well; None for a picture of one flat colour.
BoxIcon MatchBoxIcon(const Image& picture);

// The system icon drawn over a background colour, at the system's icon size.
Image DrawSystemIcon(BoxIcon icon, uint32_t background);
