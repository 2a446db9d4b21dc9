#include "support/files.h"

#include "support/wine.h"

std::optional<FolderId> FolderIdOf(const Text& folder) {
    std::optional<FolderId> id = FileSystemIdOf(folder);
    if (!id || !RunsUnderWine()) return id;
    // Where Wine cannot name the Unix path, the file system's identity is the best there is.
    Text unixPath = CanonicalUnixPath(folder);
    return unixPath.empty() ? id : FolderId{0, 0, unixPath};
}
