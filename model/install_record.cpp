#include "model/install_record.h"

#include "model/game_paths.h"
#include "support/files.h"

#include <algorithm>
#include <string>
#include <vector>

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
    Text hash(16, '0');
    for (uint64_t rest = record.hash, at = 16; at-- > 0; rest >>= 4) hash[at] = "0123456789abcdef"[rest & 15];
    return Text(kHead) + (record.written ? " installed" : " writing") + (record.keptOwn ? " kept " : " none ") + hash +
           " " + std::to_string(record.size) + "\r\n";
}

// Read word by word, and taken only when written back it gives the same
// text: anything else (another program's file, a cut-off one, a number too
// large) is no record of this program's.
std::optional<InstallRecord> ParseRecord(const Text& text) {
    std::vector<Text> words;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
    }
    if (words.size() != 6) return std::nullopt;
    auto number = [](const Text& digits, unsigned base) {
        uint64_t value = 0;
        for (char c : digits) {
            const size_t digit = Text("0123456789abcdef").find(c);
            if (digit >= base) break;
            value = value * base + digit;
        }
        return value;
    };
    InstallRecord record;
    record.written = words[2] == "installed";
    record.keptOwn = words[3] == "kept";
    record.hash = number(words[4], 16);
    record.size = number(words[5], 10);
    if (RecordText(record) != text) return std::nullopt;
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
        const bool there = FileExists(RegionFilePath(root));
        std::optional<ByteArray> region = there ? WholeFile(RegionFilePath(root)) : std::nullopt;
        // Held by the game, say: whether the list got there is told once it can be read.
        if (there && !region) return {History::Unsettled, false};
        if (!region || !Holds(*record, *region)) return SettleCutOffWrite(root, *record);
        // The list is in place: only the record was not told.
        record->written = true;
        WriteInstallRecord(root, *record);
    }
    return {History::Installed, record->keptOwn && hasCopy};
}
