#include "support/web.h"

bool IsWholeSuccess(const HttpResponse& response) {
    return response.status >= 200 && response.status <= 299 && response.complete;
}
