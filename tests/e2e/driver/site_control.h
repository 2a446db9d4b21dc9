// Talks to the demo site's control paths (/__site/...): the variants a
// scenario serves and the requests the site has seen.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Stall: the connection stays open and nothing is sent, until the client goes
// away. Drip: the full Content-Length, then a byte of the body every 2 s.
enum class Delivery { Whole, Cut, Drop, Stall, Drip };

struct SiteVariant {
    std::string body;
    int status = 200;
    Delivery delivery = Delivery::Whole;
    int cutAt = 0;  // bytes sent before the connection ends, for Cut
    std::string contentType = "application/octet-stream";
    int delayMs = 0;  // how long the site holds the answer back
};

class SiteControl {
public:
    // origin: "http://127.0.0.1:PORT", as the installer is built with.
    explicit SiteControl(std::string origin) : origin_(std::move(origin)) {}

    // Forgets every variant and every recorded request.
    bool Reset();
    // Serves the variant for the path with its query ("*": every path).
    bool Serve(const std::string& path, const SiteVariant& variant);
    // The request paths seen since the last reset, in order; none when the site does not answer.
    std::optional<std::vector<std::string>> Requests();

private:
    std::optional<std::string> Exchange(const char* verb, const std::string& pathAndQuery, const std::string& body);
    std::string origin_;
};
