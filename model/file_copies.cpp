#include "model/file_copies.h"

#include "support/files.h"

bool KeepCopyBeforeReplacing(const Text& path) {
    const Text copy = path + ".bak";
    if (!FileExists(path) || FileExists(copy)) return true;
    bool readWhole = false;
    ByteArray held = ReadFileBytes(path, &readWhole);
    return readWhole && WriteFileBytes(copy, held);
}
