// The fake machine's reading of a web address, apart: the fuzz targets of the
// address judges use it too, where WinInet is not at hand.
#include "support/web.h"

#include <cctype>

// As WinInet cracks an address: the scheme before the first colon, and with
// "//" an authority whose host stands between the user's part ("...@") and the port.
bool CrackWebAddress(const Text& address, WebAddress* parts) {
    size_t colon = address.find(':');
    if (colon == 0 || colon == Text::npos) return false;
    Text scheme = address.substr(0, colon);
    for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    parts->scheme = scheme == "https" ? WebScheme::Https : scheme == "http" ? WebScheme::Http : WebScheme::Other;
    parts->host.clear();
    if (address.compare(colon + 1, 2, "//") != 0) return true;
    Text authority = address.substr(colon + 3, address.find_first_of("/?#", colon + 3) - (colon + 3));
    authority.erase(0, authority.rfind('@') + 1);  // npos + 1 is 0
    parts->host = authority.substr(0, authority.find(':'));
    return true;
}
