// What the fuzz targets share: a property that stops the target when it does
// not hold, and a download made of the input.
#pragma once

#include "support/web.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// libFuzzer keeps the input that broke the property, and the text says which.
#define FUZZ_PROPERTY(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The input's first byte chooses the status (none, or one of 100 to 608) and
// whether the body came whole; the rest is the body. Nothing for no input.
inline bool DownloadOf(const uint8_t* data, size_t size, HttpResponse* response) {
    if (size == 0) return false;
    response->status = (data[0] & 0x7F) == 0 ? 0 : 100 + (data[0] & 0x7F) * 4;
    response->complete = (data[0] & 0x80) == 0;
    response->body.assign(data + 1, data + size);
    return true;
}
