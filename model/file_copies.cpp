#include "model/file_copies.h"

#include "support/files.h"

bool KeepCopyBeforeReplacing(const Text& path, const ByteArray& replacement) {
    if (!FileExists(path)) return true;
    bool readWhole = false;
    ByteArray held = ReadFileBytes(path, &readWhole);
    if (!readWhole) return false;
    return held == replacement || WriteFileBytes(path + ".bak", held);
}
