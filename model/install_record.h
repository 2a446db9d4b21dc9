// What the installer did at a place where the game keeps its files, read from
// a small record beside the region file, never guessed from which files exist.
// The record says that the community list is installed there (or that its
// write was under way), whether the player's own region file from before is
// kept as regionInfo.json.bak, and which bytes were written.
#pragma once

#include "support/text.h"

#include <cstdint>
#include <optional>

struct InstallRecord {
    bool written = false;  // the list is in place; false while its write is under way
    bool keptOwn = false;  // the player's own region file from before is kept as the copy
    uint64_t hash = 0;     // of the bytes written, with their count
    uint64_t size = 0;
};

// The record for the list about to be written.
InstallRecord RecordFor(const ByteArray& list, bool keptOwn);

// Whether the bytes are those the record says were written.
bool Holds(const InstallRecord& record, const ByteArray& bytes);

// Nothing when there is no record, or none that this program can read.
std::optional<InstallRecord> ReadInstallRecord(const Text& root);
bool WriteInstallRecord(const Text& root, const InstallRecord& record);

// The record as text, and back; nothing for a text that is not one.
Text RecordText(const InstallRecord& record);
std::optional<InstallRecord> ParseRecord(const Text& text);

enum class History {
    None,       // nothing of the installer's: a region file there is the player's
    Installed,  // the list is installed: the region file is ours, whatever the game has saved into it
    Earlier,    // installed by an earlier version, which kept a copy and no record
    Unsettled,  // a write was cut off there and the region file cannot be read now: nothing is to be done there
};

struct PlaceHistory {
    History history = History::None;
    bool keptOwn = false;  // a copy of the player's own file is there to put back
};

// What the installer did at the place. A write that was cut off there (the
// program closed or crashed inside it) is settled first: when the region
// file is not what was being written, it is the player's, and the copy made
// for that write and the record go.
PlaceHistory SettledHistory(const Text& root);
