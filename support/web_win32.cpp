#include "support/web.h"

#include "support/download_limits.h"
#include "support/win32/alive_wait.h"
#include "support/win32/wide_text.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr DWORD kCanonicalLength = 2084;
// WinInet on Windows refuses a redirect from http to https (12039) where the
// Internet Options warn on changing between secure and non-secure mode,
// unless the request says it may follow one.
constexpr DWORD kRequestFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
constexpr DWORD kChunkWithoutLength = 10240;
constexpr DWORD kLargestChunk = 102400;
// A larger body is not a resource of ours; holding it would only exhaust memory.
constexpr unsigned long long kLargestBody = 64ull << 20;
static_assert(kTooLargeLength > static_cast<long long>(kLargestBody));

// Opened by the first fetch that gets one and kept for the process.
HINTERNET g_internet = nullptr;

class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

std::wstring WithoutFragment(std::wstring address) {
    size_t hash = address.find(L'#');
    if (hash != std::wstring::npos) address.erase(hash);
    return address;
}

bool Canonicalize(const std::wstring& address, std::wstring* canonical) {
    DWORD length = kCanonicalLength;
    std::wstring buffer(length, L'\0');
    if (!InternetCanonicalizeUrlW(address.c_str(), buffer.data(), &length, ICU_NO_ENCODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
        // The call has put the size it needs into length.
        buffer.assign(length + 1, L'\0');
        length = static_cast<DWORD>(buffer.size());
        if (!InternetCanonicalizeUrlW(address.c_str(), buffer.data(), &length, ICU_NO_ENCODE)) return false;
    }
    buffer.resize(length);
    *canonical = std::move(buffer);
    return true;
}

struct Target {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::wstring host, user, password, object;
    INTERNET_PORT port = 0;
};

std::wstring Part(const wchar_t* text, DWORD length) {
    return text ? std::wstring(text, length) : std::wstring();
}

bool Crack(const std::wstring& address, Target* target) {
    // Zero buffers with non-zero lengths: the call points into the address.
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = 1;
    parts.dwPasswordLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(address.c_str(), static_cast<DWORD>(address.size()), 0, &parts)) return false;
    target->scheme = parts.nScheme;
    target->host = Part(parts.lpszHostName, parts.dwHostNameLength);
    target->user = Part(parts.lpszUserName, parts.dwUserNameLength);
    target->password = Part(parts.lpszPassword, parts.dwPasswordLength);
    target->port = parts.nPort;
    target->object = WithoutFragment(Part(parts.lpszUrlPath, parts.dwUrlPathLength) +
                                      Part(parts.lpszExtraInfo, parts.dwExtraInfoLength));
    return true;
}

// The address as the fetch reads it: canonicalized, then cracked.
bool TargetOf(const Text& address, Target* target) {
    std::wstring canonical;
    return !address.empty() && Canonicalize(WithoutFragment(WideFromGbk(address)), &canonical) &&
           Crack(canonical, target);
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

// Opened with the system's proxy configuration, every fetch follows it from
// the first request on. Setting it afterwards (INTERNET_OPTION_PROXY) is
// refused under Wine, where players behind a proxy then fetch nothing.
HINTERNET Internet() {
    if (!g_internet) g_internet = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    return g_internet;
}

// The connection has no proxy credentials.
void SetProxyCredentials(HINTERNET connection) {
    wchar_t empty[] = L"";
    InternetSetOptionW(connection, INTERNET_OPTION_PROXY_USERNAME, empty, 1);
    InternetSetOptionW(connection, INTERNET_OPTION_PROXY_PASSWORD, empty, 1);
}

int StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
    return static_cast<int>(status);
}

// The declared body length, or -1 when there is none that can be used. A
// length with more digits than the 32-byte buffer holds is too large.
long long ContentLength(HINTERNET request) {
    wchar_t text[16] = {};  // 32 bytes
    DWORD size = sizeof text - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? kTooLargeLength : -1;
    return DeclaredLength(text);
}

// One download, shared by the thread that runs it and the GUI thread that
// waits for it. The waiting thread may give up on it; the worker then ends
// as soon as WinInet lets it, and nobody reads what it got.
struct Download {
    Target target;
    DWORD flags = 0;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HttpResponse response;  // the worker's until `done` is set
    const ULONGLONG startedAt = GetTickCount64();
    std::atomic<ULONGLONG> lastHeardAt{startedAt};
    std::atomic<DownloadStage> stage{DownloadStage::Connecting};
    std::atomic<bool> abandoned{false};
    std::atomic<HINTERNET> request{nullptr};  // closed once, by whichever thread takes it

    ~Download() { CloseHandle(done); }

    // The server has been reached, or has sent part of its answer.
    void Heard() {
        lastHeardAt = GetTickCount64();
        DownloadStage connecting = DownloadStage::Connecting;
        stage.compare_exchange_strong(connecting, DownloadStage::AwaitingAnswer);
    }

    bool IsOverdue() const {
        ULONGLONG now = GetTickCount64();
        return IsDownloadOverdue(stage, {now, startedAt, lastHeardAt});
    }

    // Closing the request is WinInet's way to end a call that waits on it in another thread.
    void CloseRequest() {
        if (HINTERNET handle = request.exchange(nullptr)) InternetCloseHandle(handle);
    }

    void Abandon() {
        abandoned = true;
        CloseRequest();
    }
};

// WinInet reports on the worker's thread where the request stands.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
    if (status == INTERNET_STATUS_CONNECTED_TO_SERVER || status == INTERNET_STATUS_RESPONSE_RECEIVED)
        reinterpret_cast<Download*>(context)->Heard();
}

// The body must come as fast as WinInet can give it, while a site that goes
// quiet for the silence limit is given up and one that sends slowly but
// steadily never is. What WinInet offers for that, as Wine runs it:
// - INTERNET_OPTION_RECEIVE_TIMEOUT limits each receive from the socket, not
//   a whole read: a read fails once no byte has come for that long (Wine:
//   WSAETIMEDOUT; Windows: ERROR_INTERNET_TIMEOUT), and a read of bytes that
//   keep coming may take longer. Wine honours it on the request handle only,
//   not on the connection. Windows documents it for any handle; its default
//   is finite and does not end downloads that take longer, so it too limits
//   each receive.
// - INTERNET_STATUS_RESPONSE_RECEIVED comes once a read, at its end, in Wine,
//   so the waiting thread cannot see bytes that arrive inside a read.
// - InternetQueryDataAvailable reports at most Wine's own 8 KiB buffer, and
//   a read of a whole chunk waits for all of it or the body's end (Windows
//   documents the same): reading only what has arrived took 2.5 times as
//   long as whole 100 KiB reads.
// So each read asks for a whole chunk, and the silence limit is the request's
// receive limit, which sees every byte as it arrives.
void SetSilenceLimit(HINTERNET request) {
    DWORD limit = static_cast<DWORD>(kSilenceLimitMs);
    InternetSetOptionW(request, INTERNET_OPTION_RECEIVE_TIMEOUT, &limit, sizeof limit);
}

bool WentSilent(DWORD error) { return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT; }

// Reads straight into the response: its buffer is sized from the declared
// length, with one byte more for the read that finds the end, or grows as it
// fills. A body that went silent counts as no answer at all.
void ReadBody(HINTERNET request, Download& download) {
    long long declared = ContentLength(request);
    if (declared > static_cast<long long>(kLargestBody)) return;
    DWORD chunkSize = declared > 0 ? static_cast<DWORD>(std::min<long long>(declared + 1, kLargestChunk))
                                   : kChunkWithoutLength;
    HttpResponse& response = download.response;
    ByteArray& body = response.body;
    size_t got = 0;
    bool ended = false;
    try {
        body.resize(declared > 0 ? static_cast<size_t>(declared) + 1 : chunkSize);
        while (!download.abandoned) {
            if (got == body.size()) body.resize(std::min<size_t>(got * 2, kLargestBody + 1));
            DWORD read = 0;
            DWORD wanted = static_cast<DWORD>(std::min<size_t>(chunkSize, body.size() - got));
            if (!InternetReadFile(request, body.data() + got, wanted, &read)) {
                if (!WentSilent(GetLastError())) break;
                response = HttpResponse();
                return;
            }
            if (read == 0) {
                ended = true;
                break;
            }
            got += read;
            if (got > kLargestBody) {
                ByteArray().swap(body);
                return;
            }
        }
    } catch (const std::bad_alloc&) {
        ByteArray().swap(body);
        return;
    }
    body.resize(got);
    response.complete = ended && (declared < 0 || got == static_cast<size_t>(declared));
}

// Whether the response came over TLS, read from the address WinInet ended
// at: a redirect from https to http is followed without a word (Wine's and
// Windows' WinInet alike), so the request's flags alone do not say.
bool EndedSecure(HINTERNET request) {
    DWORD size = 0;
    InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &size);
    if (size == 0) return false;
    std::wstring url(size / sizeof(wchar_t) + 1, L'\0');
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &size)) return false;
    url.resize(std::wcslen(url.c_str()));
    Target ended;
    return Crack(url, &ended) && ended.scheme == INTERNET_SCHEME_HTTPS;
}

// The exchange with the server, on the worker's thread.
void Exchange(Download& download) {
    const Target& target = download.target;
    auto context = reinterpret_cast<DWORD_PTR>(&download);
    Handle connection(InternetConnectW(g_internet, target.host.c_str(), target.port, OrNull(target.user),
                                       OrNull(target.password), INTERNET_SERVICE_HTTP, 0, context));
    if (!connection) return;
    SetProxyCredentials(connection.get());
    InternetSetStatusCallbackW(connection.get(), OnStatus);

    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    HINTERNET request = HttpOpenRequestW(connection.get(), L"GET", target.object.c_str(), L"HTTP/1.0", nullptr,
                                         acceptTypes, download.flags, context);
    if (!request) return;
    download.request = request;
    SetSilenceLimit(request);
    static const wchar_t kHeaders[] = L"Accept: */*\r\n\r\n";
    if (!download.abandoned &&
        HttpSendRequestW(request, kHeaders, static_cast<DWORD>(std::wcslen(kHeaders)), nullptr, 0) &&
        // A fetch that began over TLS and ended in clear is refused: anyone on the path wrote that body.
        (!(download.flags & INTERNET_FLAG_SECURE) || EndedSecure(request))) {
        download.stage = DownloadStage::ReadingBody;
        download.response.status = StatusCode(request);
        ReadBody(request, download);
    }
    download.CloseRequest();
}

DWORD WINAPI RunDownload(void* parameter) {
    std::unique_ptr<std::shared_ptr<Download>> handed(static_cast<std::shared_ptr<Download>*>(parameter));
    std::shared_ptr<Download> download = *handed;
    Exchange(*download);
    SetEvent(download->done);
    return 0;
}

// The exchange runs on a thread of its own while this thread's windows stay
// alive; past a time limit it is given up and counts as failed.
HttpResponse DownloadWithinLimits(const Target& target, DWORD flags) {
    auto download = std::make_shared<Download>();
    if (!download->done) return HttpResponse();
    download->target = target;
    download->flags = flags;
    auto* handed = new std::shared_ptr<Download>(download);
    HANDLE worker = CreateThread(nullptr, 0, RunDownload, handed, 0, nullptr);
    if (!worker) {
        delete handed;
        return HttpResponse();
    }
    CloseHandle(worker);
    if (WaitWithWindowsAlive(download->done, [&] { return download->IsOverdue(); })) return std::move(download->response);
    download->Abandon();
    return HttpResponse();
}

}  // namespace

HttpResponse HttpGetResponse(const Text& address) {
    HttpResponse response;
    Target target;
    if (!TargetOf(address, &target)) return response;
    DWORD flags = kRequestFlags;
    if (target.scheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    else if (target.scheme != INTERNET_SCHEME_HTTP)
        return response;

    if (!Internet()) return response;
    return DownloadWithinLimits(target, flags);
}

bool CrackWebAddress(const Text& address, WebAddress* parts) {
    Target target;
    if (!TargetOf(address, &target)) return false;
    parts->scheme = target.scheme == INTERNET_SCHEME_HTTPS  ? WebScheme::Https
                    : target.scheme == INTERNET_SCHEME_HTTP ? WebScheme::Http
                                                            : WebScheme::Other;
    parts->host = GbkFromWideReplacing(target.host);
    return true;
}
