#include "support/files.h"

#include "support/wine.h"

std::optional<FolderId> FolderIdOf(const Text& folder) {
    // Where Wine cannot name the Unix path, the file system's identity is the best there is.
    if (RunsUnderWine())
        if (Text unixPath = CanonicalUnixFolderPath(folder); !unixPath.empty()) return FolderId{0, 0, unixPath};
    return FileSystemIdOf(folder);
}
