#include "install/region_file.h"

#include "model/game_paths.h"
#include "model/install_record.h"
#include "support/files.h"

namespace {

// The game has never run when its folder is missing: the folders are made,
// the maker's before the game's, and the record is written once more.
bool WriteFirstRecord(const Text& root, const InstallRecord& record) {
    if (WriteInstallRecord(root, record)) return true;
    CreateFolder(MakerFolderPath(root));
    CreateFolder(GameFolderPath(root));
    return WriteInstallRecord(root, record);
}

// The record goes first, saying that a write is under way and whether the
// copy is the player's; then the copy, then the list, then the record that
// it is in place. Cut off anywhere, the next run reads the place right: the
// list is in place exactly when the region file holds the bytes recorded.
bool InstallOverNothingOurs(const Text& root, const ByteArray& list) {
    const Text region = RegionFilePath(root), copy = RegionCopyPath(root);
    const bool ownFile = FileExists(region);
    InstallRecord record = RecordFor(list, ownFile);
    if (!WriteFirstRecord(root, record)) return false;
    bool readWhole = false;
    const ByteArray own = ownFile ? ReadFileBytes(region, &readWhole) : ByteArray();
    const bool kept = !ownFile || (readWhole && WriteFileBytes(copy, own));
    if (!kept || !WriteFileBytes(region, list)) {
        // The player's file stays in place and is the one the next install keeps.
        if (ownFile) RemoveFile(copy);
        RemoveFile(InstallRecordPath(root));
        return false;
    }
    record.written = true;
    WriteInstallRecord(root, record);  // unwritten, the region file's bytes still say the list is in place
    return true;
}

}  // namespace

bool InstallListAt(const Text& root, const ByteArray& list) {
    if (root.empty()) return false;
    const PlaceHistory place = SettledHistory(root);
    if (place.history == History::Unsettled) return false;
    if (place.history == History::None) return InstallOverNothingOurs(root, list);
    // The region file is ours only while the record says the list is
    // installed: it says so, and whose the copy is, before the list is
    // written again. Cut off after, the region file is the list either way.
    InstallRecord record = RecordFor(list, place.keptOwn);
    record.written = true;
    return WriteInstallRecord(root, record) && WriteFileBytes(RegionFilePath(root), list);
}

// The record goes before the copy: a copy without a record is an earlier
// version's, which the next uninstall would put back over the player's file
// again, an older one by then.
Undone UninstallAt(const Text& root) {
    if (root.empty()) return Undone::NotInstalled;
    const Text region = RegionFilePath(root), copy = RegionCopyPath(root), record = InstallRecordPath(root);
    const PlaceHistory place = SettledHistory(root);
    if (place.history == History::None) return Undone::NotInstalled;
    if (place.history == History::Unsettled) return Undone::Failed;
    if (place.keptOwn) {
        bool readWhole = false;
        const ByteArray own = ReadFileBytes(copy, &readWhole);
        if (!readWhole || !WriteFileBytes(region, own)) return Undone::Failed;
        if (FileExists(record) && !RemoveFile(record)) return Undone::Failed;
        return RemoveFile(copy) ? Undone::PutBack : Undone::Failed;
    }
    // The list goes before the record: a region file without a record is the player's.
    if (FileExists(region) && !RemoveFile(region)) return Undone::Failed;
    return !FileExists(record) || RemoveFile(record) ? Undone::Deleted : Undone::Failed;
}

void SettleCutOffInstall(const Text& root) {
    if (!root.empty()) SettledHistory(root);
}
