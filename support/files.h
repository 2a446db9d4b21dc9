// Files and folders. Paths are GBK texts; every operation acts only on an
// absolute path (a drive letter or a UNC share): a relative path reads as
// missing, and writes, folder creation and deletions on it fail untouched.
#pragma once

#include "support/text.h"

#include <initializer_list>
#include <vector>

// The codes of SpecialFolder that the installer uses.
enum SpecialFolderCode : int {
    kRoamingFolder = 8,  // the user's roaming application data
    kSystemFolder = 10,
};

// The path of a well-known folder, ending in a backslash; the empty text for
// an unknown code or a failed call.
Text SpecialFolder(int code);

// The user's LocalLow folder as Windows knows it (the known folder
// LocalAppDataLow), ending in a backslash. Nothing when Windows knows none;
// the empty text when the folder has no form the program can name (no GBK
// form and no short one).
std::optional<Text> LocalLowFolder();

// The whole file; the empty byte array when it is missing, unreadable or
// empty. When readWhole is passed, it tells whether the file was read to its
// end (an empty file counts).
ByteArray ReadFileBytes(const Text& path, bool* readWhole = nullptr);

// Replaces the file with the given byte arrays, one after the other. The new
// contents go to a temporary file beside the target, which then replaces the
// target in one step: on any failure the old file stays as it was and the
// result is false. A target that another program holds open is tried again
// for about 3 s, with the windows alive. Missing folders are not created.
bool WriteFileBytes(const Text& path, std::initializer_list<ByteArray> parts);
inline bool WriteFileBytes(const Text& path, const ByteArray& bytes) { return WriteFileBytes(path, {bytes}); }

// Removes the temporary file of a WriteFileBytes still under way, for the
// program that ends from inside its wait for a held target (the window closed).
void RemoveUnfinishedWrite();

// The short (8.3) form of an existing path, for programs that read paths in
// a code page that lacks one of its characters; the empty text when there is
// none that GBK holds.
Text ShortPath(const Text& path);

// True when a file or folder of that name exists.
bool FileExists(const Text& path);

// Creates the last component of the path only; false when it exists already
// or its parent is missing.
bool CreateFolder(const Text& path);

// Deletes one file; false when it was missing or could not be deleted.
bool RemoveFile(const Text& path);

// The names of the folders in the folder, links to folders among them, in the
// order the file system gives; none when it cannot be listed. A name without
// a GBK form is left out.
std::vector<Text> SubfolderNames(const Text& folder);

// The names of the files in the folder, as SubfolderNames gives folders.
std::vector<Text> FileNames(const Text& folder);

// What makes a folder the one it is under any of its names. On Windows, its
// volume and its index there. Under Wine, its Unix path with every link
// resolved: Wine gives every file system without a drive letter the volume
// serial 0, and the roots of two file systems have one index, so two
// libraries on two disks would count as one.
struct FolderId {
    unsigned long long volume = 0;
    unsigned long long index = 0;
    Text unixPath;  // bytes to compare, in Wine's encoding of Unix names; empty on Windows
    bool operator==(const FolderId& other) const {
        return volume == other.volume && index == other.index && unixPath == other.unixPath;
    }
    bool operator<(const FolderId& other) const {
        if (volume != other.volume) return volume < other.volume;
        return index != other.index ? index < other.index : unixPath < other.unixPath;
    }
};

// Nothing when there is no folder there: missing, a file, or a link that
// loops or leads nowhere.
std::optional<FolderId> FolderIdOf(const Text& folder);

// The folder's volume and index as the file system gives them; nothing as for
// FolderIdOf.
std::optional<FolderId> FileSystemIdOf(const Text& folder);
