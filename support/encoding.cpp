#include "support/encoding.h"

#include "support/growing_conversion.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <new>

bool ConvertGrowing(const ByteArray& data, const ConversionStep& step, ByteArray* result) {
    result->clear();
    const size_t growth = data.size() / 2 + 128;
    try {
        ByteArray output(data.size());
        const char* in = reinterpret_cast<const char*>(data.data());
        size_t inLeft = data.size();
        size_t produced = 0;
        for (int enlargements = 0;; ++enlargements) {
            char* out = reinterpret_cast<char*>(output.data()) + produced;
            size_t outLeft = output.size() - produced;
            ConversionStop stop = step(&in, &inLeft, &out, &outLeft);
            produced = output.size() - outLeft;
            if (stop == ConversionStop::Done) break;
            if (stop == ConversionStop::Failed || enlargements == kMaxEnlargements) return false;
            output.resize(output.size() + growth);
        }
        output.resize(produced);
        *result = std::move(output);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

ByteArray ConvertEncoding(const ByteArray& data, const Text& from, const Text& to, bool* successFlag) {
    if (successFlag) *successFlag = false;
    iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return ByteArray();

    ByteArray result;
    bool converted = data.empty() ||
                     ConvertGrowing(data,
                                    [converter](const char** in, size_t* inLeft, char** out, size_t* outLeft) {
                                        if (iconv(converter, in, inLeft, out, outLeft) != static_cast<size_t>(-1))
                                            return ConversionStop::Done;
                                        return errno == E2BIG ? ConversionStop::OutputFull : ConversionStop::Failed;
                                    },
                                    &result);
    iconv_close(converter);
    if (!converted) return ByteArray();
    if (successFlag) *successFlag = true;
    return result;
}

ByteArray WithoutByteOrderMark(const ByteArray& bytes) {
    static const ByteArray kMark = {0xEF, 0xBB, 0xBF};
    bool marked = bytes.size() >= kMark.size() && std::equal(kMark.begin(), kMark.end(), bytes.begin());
    return marked ? ByteArray(bytes.begin() + kMark.size(), bytes.end()) : bytes;
}
