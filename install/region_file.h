// The region file at one place where the game keeps its files: the community
// list written there, or taken away again, as the place's record says.
#pragma once

#include "support/text.h"

// Writes the list as the region file. Over the player's own file, that file
// is kept as the copy first; over the installed list (which the game may have
// saved its region choice into), the copy kept already stays. Where the game
// has never run, its folders are made. False when the list could not be put
// in place: the place then stands as it was, the player's file in place.
bool InstallListAt(const Text& root, const ByteArray& list);

enum class Undone {
    PutBack,       // the player's own region file is back in place
    Deleted,       // the list is gone; the player had no region file
    NotInstalled,  // nothing of the installer's was there: nothing changed
    Failed,        // the file could not be put back or deleted: everything stays
};

// Undoes the install at the place: the player's own file back, or the list
// deleted, then the record and the copy gone.
Undone UninstallAt(const Text& root);

// Settles a write of the list that the program ends inside of (closed during
// its wait for a held file), as the next run would.
void SettleCutOffInstall(const Text& root);
