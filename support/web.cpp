#include "support/web.h"

ByteArray HttpGet(const Text& address) { return HttpGetResponse(address).body; }

bool IsWholeSuccess(const HttpResponse& response) {
    return response.status >= 200 && response.status <= 299 && response.complete;
}
