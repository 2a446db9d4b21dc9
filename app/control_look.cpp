#include "app/control_look.h"

#include "app/dpi_scale.h"
#include "app/resource_ids.h"

#include <map>
#include <utility>

namespace {

constexpr LONG kCharacterHeight = -12;  // 12 px characters at 96 DPI, leading excluded
const wchar_t kEditFace[] = L"\u534e\u6587\u65b0\u9b4f";  // 华文新魏

std::map<std::pair<FontKind, UINT>, HFONT> g_fonts;

// The system's default GUI font is made for the system's DPI.
LOGFONTW DefaultGuiFont(UINT dpi) {
    LOGFONTW font = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(WindowDpi(nullptr)));
    font.lfWidth = 0;
    return font;
}

HFONT CreateFontOf(FontKind kind, UINT dpi) {
    LOGFONTW font = DefaultGuiFont(dpi);
    if (kind == FontKind::DefaultGui) return CreateFontIndirectW(&font);
    font.lfHeight = ToPixels(kCharacterHeight, dpi);
    if (kind == FontKind::EditBox) {
        font.lfWeight = FW_BOLD;
        font.lfUnderline = TRUE;
        // A Chinese charset lets the font mapper pick a Chinese face where this one is missing.
        font.lfCharSet = GB2312_CHARSET;
        lstrcpynW(font.lfFaceName, kEditFace, LF_FACESIZE);
    } else {
        font.lfWeight = FW_NORMAL;
    }
    return CreateFontIndirectW(&font);
}

}  // namespace

HFONT FontFor(FontKind kind, UINT dpi) {
    HFONT& font = g_fonts[{kind, dpi}];
    if (!font) font = CreateFontOf(kind, dpi);
    return font;
}

void ReleaseFonts() {
    for (auto& [kind, font] : g_fonts) DeleteObject(font);
    g_fonts.clear();
}

HBRUSH ApplyColours(HDC dc, const ControlTemplate& control) {
    if (control.textColour < 0 && control.background == Background::System) return nullptr;
    if (control.textColour >= 0) SetTextColor(dc, static_cast<COLORREF>(control.textColour));
    if (control.background == Background::White) {
        SetBkColor(dc, RGB(255, 255, 255));
        return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

HCURSOR CursorFor(CursorKind kind) {
    switch (kind) {
        case CursorKind::SizeNwse: return LoadCursorW(nullptr, IDC_SIZENWSE);
        case CursorKind::SizeNesw: return LoadCursorW(nullptr, IDC_SIZENESW);
        case CursorKind::SizeWe: return LoadCursorW(nullptr, IDC_SIZEWE);
        case CursorKind::Hand: return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(STARFOLD_HAND_CURSOR));
        case CursorKind::Standard: break;
    }
    return nullptr;
}
