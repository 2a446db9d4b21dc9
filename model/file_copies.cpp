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

PutBack PutBackKeptCopy(const Text& path) {
    const Text copy = CopyPath(path);
    if (!FileExists(copy)) return PutBack::NoCopy;
    bool readWhole = false;
    ByteArray kept = ReadFileBytes(copy, &readWhole);
    if (!readWhole || !WriteFileBytes(path, kept)) return PutBack::Failed;
    // A copy that stays holds the same bytes as the file: nothing is lost.
    RemoveFile(copy);
    return PutBack::Done;
}
