// Watches one folder (not its subfolders) from a thread of the driver, so
// that a file that the installer creates and deletes again between two looks
// is still seen.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FolderWatch {
public:
    // Watching has begun when the constructor returns (see Watching()).
    explicit FolderWatch(const std::wstring& folder);
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch();

    bool Watching() const { return watching_; }
    // Ends the watch after taking in every change already reported; the
    // record is complete up to this moment.
    void Stop();
    // True when the system dropped changes because too many came at once:
    // the record is then incomplete.
    bool Overflowed() const;
    // Whether a file or folder of that name (any case) appeared in the folder,
    // created or renamed to it, however briefly.
    bool Appeared(const std::wstring& name) const;

private:
    bool Arm();
    void Collect(DWORD bytes);
    void Run();

    HANDLE folder_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    OVERLAPPED overlapped_ = {};
    alignas(DWORD) unsigned char buffer_[64 * 1024];
    bool watching_ = false;
    mutable std::mutex mutex_;
    bool overflowed_ = false;
    std::vector<std::wstring> arrivals_;  // the names created or renamed to, in order
    std::thread thread_;
};
