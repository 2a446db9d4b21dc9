#include "support/web.h"

#include "support/win32/wide_text.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>
#include <string>

namespace {

constexpr wchar_t kUserAgent[] = L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr DWORD kCanonicalLength = 2084;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
constexpr DWORD kChunkWithoutLength = 10240;
constexpr DWORD kLargestChunk = 102400;
// A larger body is not a resource of ours; holding it would only exhaust memory.
constexpr unsigned long long kLargestBody = 64ull << 20;

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

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

HINTERNET Internet() {
    if (!g_internet) g_internet = InternetOpenW(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    return g_internet;
}

// From the first request on, the internet handle follows the system's proxy
// configuration; the connection has no proxy credentials.
void SetProxyOptions(HINTERNET internet, HINTERNET connection) {
    INTERNET_PROXY_INFO proxy = {};
    proxy.dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
    InternetSetOptionW(internet, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
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

// The declared body length, or -1 when there is none that can be used.
long long ContentLength(HINTERNET request) {
    wchar_t text[16] = {};  // 32 bytes
    DWORD size = sizeof text - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return -1;
    long long length = 0;
    const wchar_t* digit = text;
    for (; *digit >= L'0' && *digit <= L'9'; ++digit) {
        length = length * 10 + (*digit - L'0');
        if (length > static_cast<long long>(kLargestBody) * 2) break;  // enough to know it is too large
    }
    return digit == text || length <= 0 ? -1 : length;
}

void ReadBody(HINTERNET request, HttpResponse* response) {
    long long declared = ContentLength(request);
    if (declared > static_cast<long long>(kLargestBody)) return;
    DWORD chunkSize = declared > 0 ? static_cast<DWORD>(std::min<long long>(declared + 1, kLargestChunk))
                                   : kChunkWithoutLength;
    std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[chunkSize]);
    if (!chunk) return;

    ByteArray& body = response->body;
    bool ended = false;
    try {
        if (declared > 0) body.reserve(static_cast<size_t>(declared));
        for (;;) {
            DWORD read = 0;
            if (!InternetReadFile(request, chunk.get(), chunkSize, &read)) break;
            if (read == 0) {
                ended = true;
                break;
            }
            if (body.size() + read > kLargestBody) {
                ByteArray().swap(body);
                return;
            }
            body.insert(body.end(), chunk.get(), chunk.get() + read);
        }
    } catch (const std::bad_alloc&) {
        ByteArray().swap(body);
        return;
    }
    response->complete = ended && (declared < 0 || body.size() == static_cast<size_t>(declared));
}

}  // namespace

HttpResponse HttpGetResponse(const Text& address) {
    HttpResponse response;
    if (address.empty()) return response;

    std::wstring canonical;
    Target target;
    if (!Canonicalize(WithoutFragment(WideFromGbk(address)), &canonical) || !Crack(canonical, &target))
        return response;
    DWORD flags = kRequestFlags;
    if (target.scheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    else if (target.scheme != INTERNET_SCHEME_HTTP)
        return response;

    HINTERNET internet = Internet();
    if (!internet) return response;
    Handle connection(InternetConnectW(internet, target.host.c_str(), target.port, OrNull(target.user),
                                       OrNull(target.password), INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return response;
    SetProxyOptions(internet, connection.get());

    const wchar_t* acceptTypes[] = {L"Accept: */* \r\n", nullptr};
    Handle request(HttpOpenRequestW(connection.get(), L"GET", target.object.c_str(), L"HTTP/1.0", nullptr,
                                    acceptTypes, flags, 0));
    if (!request) return response;
    static const wchar_t kHeaders[] = L"Accept: */*\r\n\r\n";
    if (!HttpSendRequestW(request.get(), kHeaders, static_cast<DWORD>(std::wcslen(kHeaders)), nullptr, 0))
        return response;

    response.status = StatusCode(request.get());
    ReadBody(request.get(), &response);
    return response;
}
