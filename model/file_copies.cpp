#include "model/file_copies.h"

#include "support/files.h"

namespace {

Text CopyPath(const Text& path) { return path + ".bak"; }

}  // namespace

bool KeepCopyBeforeReplacing(const Text& path) {
    const Text copy = CopyPath(path);
    if (!FileExists(path) || FileExists(copy)) return true;
    bool readWhole = false;
    ByteArray held = ReadFileBytes(path, &readWhole);
    return readWhole && WriteFileBytes(copy, held);
}
