#include "model/install_record.h"

#include "model/game_paths.h"
#include "support/files.h"

#include <cinttypes>
#include <cstdio>

namespace {

const char kHead[] = "StarfoldCommunityInstaller 1";

// FNV-1a: only whether the file still holds the bytes written is asked, not
// whether anyone could forge them.
uint64_t HashOf(const ByteArray& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

std::optional<ByteArray> WholeFile(const Text& path) {
    bool readWhole = false;
    ByteArray bytes = ReadFileBytes(path, &readWhole);
    if (!readWhole) return std::nullopt;
    return bytes;
}

// The write was cut off before the list was in place: the region file there
// (or the copy, where the player's file is missing now) is the player's.
PlaceHistory SettleCutOffWrite(const Text& root, const InstallRecord& record) {
    const Text region = RegionFilePath(root), copy = RegionCopyPath(root);
    if (record.keptOwn && FileExists(copy)) {
        if (!FileExists(region)) {
            std::optional<ByteArray> kept = WholeFile(copy);
            if (!kept || !WriteFileBytes(region, *kept)) return {History::None, false};
        }
        if (!RemoveFile(copy)) return {History::None, false};
    }
    RemoveFile(InstallRecordPath(root));
    return {History::None, false};
}

}  // namespace

InstallRecord RecordFor(const ByteArray& list, bool keptOwn) { return {false, keptOwn, HashOf(list), list.size()}; }

bool Holds(const InstallRecord& record, const ByteArray& bytes) {
    return record.size == bytes.size() && record.hash == HashOf(bytes);
}

Text RecordText(const InstallRecord& record) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %s %s %016" PRIx64 " %" PRIu64 "\r\n", kHead,
                  record.written ? "installed" : "writing", record.keptOwn ? "kept" : "none", record.hash, record.size);
    return line;
}

std::optional<InstallRecord> ParseRecord(const Text& text) {
    char state[16] = {}, own[8] = {};
    InstallRecord record;
    int length = 0;
    const Text head = Text(kHead) + " ";
    if (text.compare(0, head.size(), head) != 0) return std::nullopt;
    if (std::sscanf(text.c_str() + head.size(), "%15s %7s %16" SCNx64 " %" SCNu64 "%n", state, own, &record.hash,
                    &record.size, &length) != 4)
        return std::nullopt;
    record.written = Text(state) == "installed";
    record.keptOwn = Text(own) == "kept";
    bool known = (record.written || Text(state) == "writing") && (record.keptOwn || Text(own) == "none");
    if (!known || RecordText(record) != text) return std::nullopt;
    return record;
}

std::optional<InstallRecord> ReadInstallRecord(const Text& root) {
    std::optional<ByteArray> bytes = WholeFile(InstallRecordPath(root));
    if (!bytes) return std::nullopt;
    Text text = ToText(*bytes);
    return text.size() == bytes->size() ? ParseRecord(text) : std::nullopt;
}

bool WriteInstallRecord(const Text& root, const InstallRecord& record) {
    return WriteFileBytes(InstallRecordPath(root), ToBytes(RecordText(record)));
}

PlaceHistory SettledHistory(const Text& root) {
    const bool hasCopy = FileExists(RegionCopyPath(root));
    std::optional<InstallRecord> record = ReadInstallRecord(root);
    if (!record) return {hasCopy ? History::Earlier : History::None, hasCopy};
    if (!record->written) {
        std::optional<ByteArray> region = WholeFile(RegionFilePath(root));
        if (!region || !Holds(*record, *region)) return SettleCutOffWrite(root, *record);
        // The list is in place: only the record was not told.
        record->written = true;
        WriteInstallRecord(root, *record);
    }
    return {History::Installed, record->keptOwn && hasCopy};
}
