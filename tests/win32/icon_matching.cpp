#include "tests/win32/icon_matching.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

constexpr BoxIcon kIcons[] = {BoxIcon::Error, BoxIcon::Warning, BoxIcon::Question, BoxIcon::Information};

LPCWSTR ResourceOf(BoxIcon icon) {
    return icon == BoxIcon::Error ? IDI_HAND
           : icon == BoxIcon::Warning ? IDI_EXCLAMATION
           : icon == BoxIcon::Question ? IDI_QUESTION
                                       : IDI_ASTERISK;
}

int ChannelDistance(uint32_t a, uint32_t b) {
    int distance = 0;
    for (int shift = 0; shift < 24; shift += 8)
        distance = std::max(distance, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return distance;
}

// An icon as the pixels that it covers completely: drawn on black and on
// white, a pixel that comes out the same on both belongs to the icon.
struct Stencil {
    int size = 0;
    std::vector<int> offsets;  // y * size + x of the opaque pixels
    std::vector<uint32_t> colours;
};

Stencil StencilOf(BoxIcon icon) {
    Image onBlack = DrawSystemIcon(icon, 0x000000);
    Image onWhite = DrawSystemIcon(icon, 0xFFFFFF);
    Stencil stencil;
    stencil.size = onBlack.width;
    for (int i = 0; i < static_cast<int>(onBlack.pixels.size()); ++i) {
        if (onBlack.pixels[i] == onWhite.pixels[i]) {
            stencil.offsets.push_back(i);
            stencil.colours.push_back(onBlack.pixels[i]);
        }
    }
    return stencil;
}

// The share (per mille) of the stencil's pixels that the picture shows in
// their colour, at the best offset.
int BestAgreement(const Image& picture, const Stencil& stencil) {
    if (stencil.offsets.empty() || picture.width < stencil.size || picture.height < stencil.size) return 0;
    int best = 0;
    for (int dy = 0; dy + stencil.size <= picture.height; ++dy) {
        for (int dx = 0; dx + stencil.size <= picture.width; ++dx) {
            int agreeing = 0;
            for (size_t i = 0; i < stencil.offsets.size(); ++i) {
                int x = dx + stencil.offsets[i] % stencil.size, y = dy + stencil.offsets[i] / stencil.size;
                if (ChannelDistance(picture.At(x, y), stencil.colours[i]) <= 24) ++agreeing;
            }
            best = std::max(best, static_cast<int>(agreeing * 1000 / stencil.offsets.size()));
        }
    }
    return best;
}

}  // namespace

const wchar_t* BoxIconName(BoxIcon icon) {
    static const wchar_t* const kNames[] = {L"none", L"error", L"warning", L"question", L"information", L"unknown"};
    return kNames[static_cast<int>(icon)];
}

Image DrawSystemIcon(BoxIcon icon, uint32_t background) {
    const int size = GetSystemMetrics(SM_CXICON);
    return DrawImage(size, size, [&](HDC memory) {
        RECT area = {0, 0, size, size};
        HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
        FillRect(memory, &area, brush);
        DeleteObject(brush);
        DrawIconEx(memory, 0, 0, LoadIconW(nullptr, ResourceOf(icon)), size, size, 0, nullptr, DI_NORMAL);
    });
}

BoxIcon MatchBoxIcon(const Image& picture) {
    if (picture.pixels.empty()) return BoxIcon::None;
    if (std::all_of(picture.pixels.begin(), picture.pixels.end(), [&](uint32_t p) { return p == picture.pixels[0]; }))
        return BoxIcon::None;
    std::vector<std::pair<int, BoxIcon>> scores;
    for (BoxIcon icon : kIcons) scores.push_back({BestAgreement(picture, StencilOf(icon)), icon});
    std::sort(scores.rbegin(), scores.rend());
    // A clear winner only: nearly every pixel of one icon, and well ahead of the rest.
    return scores[0].first >= 950 && scores[0].first - scores[1].first >= 100 ? scores[0].second : BoxIcon::Unknown;
}
