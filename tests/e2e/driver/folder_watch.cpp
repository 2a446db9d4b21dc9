#include "driver/folder_watch.h"

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
    if (folder_ != INVALID_HANDLE_VALUE) CloseHandle(folder_);
    if (overlapped_.hEvent) CloseHandle(overlapped_.hEvent);
    if (stop_) CloseHandle(stop_);
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
    if (bytes == 0) {
        overflowed_ = true;
        return;
    }
    for (DWORD offset = 0;;) {
        const auto* entry = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + offset);
        events_.push_back({entry->Action, std::wstring(entry->FileName, entry->FileNameLength / sizeof(wchar_t))});
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
        if (!GetOverlappedResult(folder_, &overlapped_, &bytes, FALSE)) {
            std::lock_guard<std::mutex> lock(mutex_);
            overflowed_ = true;
            return;
        }
        Collect(bytes);
        if (!Arm()) {
            std::lock_guard<std::mutex> lock(mutex_);
            overflowed_ = true;
            return;
        }
    }
}

bool FolderWatch::Overflowed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return overflowed_;
}

std::vector<FolderEvent> FolderWatch::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

bool FolderWatch::Appeared(const std::wstring& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const FolderEvent& event : events_) {
        bool arrival = event.action == FILE_ACTION_ADDED || event.action == FILE_ACTION_RENAMED_NEW_NAME;
        if (arrival && _wcsicmp(event.name.c_str(), name.c_str()) == 0) return true;
    }
    return false;
}
