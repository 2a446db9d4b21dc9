// The Win32 boundary: the program's texts are GBK (code page 936), the
// Windows functions it calls are the wide ones.
#pragma once

#include "support/text.h"

#include <string>

std::wstring WideFromGbk(const Text& text);

// False when a character has no GBK form; *text is then left empty.
bool GbkFromWide(const std::wstring& wide, Text* text);

// For text the user typed: a character without a GBK form becomes "?".
Text GbkFromWideReplacing(const std::wstring& wide);
