#include "driver/site_control.h"

#include <windows.h>
#include <wininet.h>

#include <sstream>

namespace {

std::string Escaped(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (unsigned char c : text) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/' || c == '~')
            escaped.push_back(static_cast<char>(c));
        else
            escaped += {'%', kHex[c >> 4], kHex[c & 15]};
    }
    return escaped;
}

const char* ModeName(Delivery delivery) {
    static const char* const kModes[] = {"whole", "cut", "drop", "stall", "drip"};
    return kModes[static_cast<int>(delivery)];
}

struct InternetHandle {
    HINTERNET handle;
    ~InternetHandle() {
        if (handle) InternetCloseHandle(handle);
    }
};

}  // namespace

std::optional<std::string> SiteControl::Exchange(const char* verb, const std::string& pathAndQuery, const std::string& body) {
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    char host[256] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    if (!InternetCrackUrlA(origin_.c_str(), 0, 0, &parts)) return std::nullopt;
    InternetHandle internet{InternetOpenA("StarfoldE2EDriver", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)};
    if (!internet.handle) return std::nullopt;
    InternetHandle connection{InternetConnectA(internet.handle, host, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0)};
    if (!connection.handle) return std::nullopt;
    InternetHandle request{HttpOpenRequestA(connection.handle, verb, pathAndQuery.c_str(), "HTTP/1.0", nullptr, nullptr,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)};
    if (!request.handle) return std::nullopt;
    const char* headers = "Content-Type: application/octet-stream\r\n";
    if (!HttpSendRequestA(request.handle, headers, static_cast<DWORD>(-1), const_cast<char*>(body.data()),
                          static_cast<DWORD>(body.size())))
        return std::nullopt;
    DWORD status = 0, size = sizeof status;
    HttpQueryInfoA(request.handle, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    std::string reply;
    char buffer[8192];
    DWORD got = 0;
    while (InternetReadFile(request.handle, buffer, sizeof buffer, &got) && got > 0) reply.append(buffer, got);
    if (status != 200) return std::nullopt;
    return reply;
}

bool SiteControl::Reset() { return Exchange("POST", "/__site/reset", "").has_value(); }

bool SiteControl::Serve(const std::string& path, const SiteVariant& variant) {
    std::string query = "/__site/serve?path=" + Escaped(path) + "&status=" + std::to_string(variant.status) +
                        "&mode=" + ModeName(variant.delivery) + "&cut_at=" + std::to_string(variant.cutAt) +
                        "&type=" + Escaped(variant.contentType) + "&delay_ms=" + std::to_string(variant.delayMs);
    return Exchange("POST", query, variant.body).has_value();
}

std::optional<std::vector<std::string>> SiteControl::Requests() {
    std::optional<std::string> reply = Exchange("GET", "/__site/requests", "");
    if (!reply) return std::nullopt;
    std::vector<std::string> lines;
    std::istringstream text(*reply);
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
}
