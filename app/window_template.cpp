#include "app/window_template.h"

#include "app/window_ids.h"
#include "support/site.h"

namespace {

// The author credit; it must fit the 103 pixels of 标签1.
constexpr char kCreditText[] = "By:星褶社区";

constexpr int kBlack = Rgb(0, 0, 0);
constexpr int kEditText = Rgb(0, 136, 255);
constexpr int kCreditGrey = Rgb(192, 192, 192);
constexpr int kSystemColour = -1;

using C = Control;
using K = ControlKind;
using F = FontKind;
using B = Background;
using P = CursorKind;

// clang-format off
constexpr std::array<ControlTemplate, kControlCount> kControls = {{
    // control          kind          parent        left  top  width height text                                      visible font          text colour    background     cursor
    {C::分组框1,        K::GroupBox,  C::Window,      8,    8,  344,  72, "安装源:",                                   true,  F::DefaultGui, kBlack,        B::ButtonFace, P::Standard},
    {C::编辑框1,        K::EditBox,   C::分组框1,    16,   24,  312,  32, SITE_BASE "/Lanternkit/serverlist.json",     true,  F::EditBox,    kEditText,     B::White,      P::Standard},
    {C::选择框1,        K::CheckBox,  C::Window,     96,   80,  192,  16, "同时安装Voxbridge社区服",                   true,  F::DefaultGui, kBlack,        B::ButtonFace, P::Standard},
    {C::分组框3,        K::GroupBox,  C::Window,      8,   96,  344,  72, "安装源:",                                   false, F::DefaultGui, kBlack,        B::ButtonFace, P::Standard},
    {C::编辑框2,        K::EditBox,   C::分组框3,    16,   24,  312,  32, SITE_BASE "/Lanternkit/bcl.ini",             true,  F::EditBox,    kEditText,     B::White,      P::Standard},
    {C::按钮1,          K::Button,    C::Window,     64,   96,  112,  32, "安装",                                      true,  F::DefaultGui, kSystemColour, B::System,     P::SizeNwse},
    {C::按钮3,          K::Button,    C::Window,    200,   96,  112,  32, "卸载",                                      true,  F::DefaultGui, kSystemColour, B::System,     P::SizeNesw},
    {C::按钮2,          K::Button,    C::Window,    356,   45,   24,  16, ">>",                                        true,  F::DefaultGui, kSystemColour, B::System,     P::SizeWe},
    {C::标签1,          K::Label,     C::Window,    279,    3,  103,  16, kCreditText,                                 true,  F::Label,      kCreditGrey,   B::ButtonFace, P::Hand},
    {C::分组框2,        K::GroupBox,  C::Window,    384,    0,  360, 136, "安装源列表",                                false, F::DefaultGui, kBlack,        B::ButtonFace, P::Standard},
    {C::超文本浏览框1,  K::HtmlViewer,C::分组框2,     0,   16,  360, 112, "",                                          true,  F::DefaultGui, kSystemColour, B::System,     P::Standard},
}};
// clang-format on

constexpr WindowTemplate kWindow = {STARFOLD_WINDOW_CLASS, STARFOLD_WINDOW_TITLE, 50, 50, 388, 160};

}  // namespace

const WindowTemplate& MainWindowTemplate() { return kWindow; }

const std::array<ControlTemplate, kControlCount>& ControlTemplates() { return kControls; }

const ControlTemplate* FindTemplate(Control control) {
    for (const ControlTemplate& row : kControls) {
        if (row.control == control) return &row;
    }
    return nullptr;
}
