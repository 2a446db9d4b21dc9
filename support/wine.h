// What a Windows program learns of the Linux machine under it when Wine (or
// Proton, which is Wine) runs it. On Windows each gives false or the empty
// text.
#pragma once

#include "support/text.h"

bool RunsUnderWine();

// The Unix user's home as a DOS path ending in a backslash ("Z:\home\deck\"),
// from the NT path Wine names it by in WINEHOMEDIR ("\??\Z:\home\deck"); the
// empty text when no drive letter leads there or the path has no GBK form.
Text UnixHomeFolder();

// The DOS path that Wine gives an absolute Unix path ("/run/media/sd" ->
// "Z:\run\media\sd"), whether anything is there or not; the empty text for a
// relative path or one whose DOS form has no GBK form.
Text DosPathFromUnix(const Text& unixPath);

// The Unix path of an existing folder with every link resolved, in Wine's
// encoding of Unix names (UTF-8 ordinarily): bytes to compare, not a text to
// show. The empty text on Windows, for a file, or when nothing is there.
Text CanonicalUnixFolderPath(const Text& folder);
