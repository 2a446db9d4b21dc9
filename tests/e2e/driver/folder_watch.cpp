#include "driver/folder_watch.h"

#include <algorithm>

namespace {

constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

}  // namespace

FolderWatch::FolderWatch(const std::wstring& folder) {
    folder_ = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (folder_ == INVALID_HANDLE_VALUE) return;
    overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The first request is made here, not on the thread: changes made after
    // the constructor returns are queued for the handle from then on.
    watching_ = overlapped_.hEvent && stop_ && Arm();
    if (watching_) thread_ = std::thread(&FolderWatch::Run, this);
}

FolderWatch::~FolderWatch() {
    Stop();
    for (HANDLE handle : {folder_, overlapped_.hEvent, stop_})
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}

void FolderWatch::Stop() {
    if (!thread_.joinable()) return;
    SetEvent(stop_);
    thread_.join();
}

bool FolderWatch::Arm() {
    ResetEvent(overlapped_.hEvent);
    return ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, FALSE, kChanges, nullptr, &overlapped_, nullptr) != FALSE;
}

void FolderWatch::Collect(DWORD bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    overflowed_ = overflowed_ || bytes == 0;
    for (DWORD offset = 0; bytes > 0;) {
        const auto* entry = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + offset);
        if (entry->Action == FILE_ACTION_ADDED || entry->Action == FILE_ACTION_RENAMED_NEW_NAME)
            arrivals_.emplace_back(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        if (entry->NextEntryOffset == 0) break;
        offset += entry->NextEntryOffset;
    }
}

void FolderWatch::Run() {
    HANDLE waits[] = {overlapped_.hEvent, stop_};
    for (;;) {
        DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        DWORD bytes = 0;
        if (woken != WAIT_OBJECT_0) {
            // Changes that completed the request just before the stop still count.
            CancelIoEx(folder_, &overlapped_);
            if (GetOverlappedResult(folder_, &overlapped_, &bytes, TRUE) && bytes > 0) Collect(bytes);
            return;
        }
        // A failed request, or one that cannot be made again, loses changes: counted as an overflow.
        bool read = GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE);
        Collect(read ? bytes : 0);
        if (!read || !Arm()) {
            Collect(0);
            return;
        }
    }
}

bool FolderWatch::Overflowed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return overflowed_;
}

bool FolderWatch::Appeared(const std::wstring& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(arrivals_.begin(), arrivals_.end(),
                       [&](const std::wstring& arrival) { return _wcsicmp(arrival.c_str(), name.c_str()) == 0; });
}
