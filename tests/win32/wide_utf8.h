// The driver speaks UTF-16 with Windows and UTF-8 with people and files.
#pragma once

#include <string>

std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);
