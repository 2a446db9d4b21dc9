// What the window shows after its layout changes, read from the screen:
// controls moved by a handler must be drawn at their new place, and the
// group boxes must paint their own inside.
#include "install_scenario.h"
#include "tests/win32/screen_capture.h"

#include <functional>

namespace {

// Caption text is drawn smoothed: its pixels are greys well below the face
// colour and the button's fill, seldom black.
bool IsInk(uint32_t pixel) { return ((pixel >> 16) & 0xFF) < 0xA0 && ((pixel >> 8) & 0xFF) < 0xA0 && (pixel & 0xFF) < 0xA0; }

// A part of the picture, in the picture's coordinates.
struct Area {
    int left, top, right, bottom;
    int Count(const Image& picture, const std::function<bool(uint32_t)>& test) const {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += test(picture.At(x, y));
        return count;
    }
    int Size() const { return (right - left) * (bottom - top); }
};

class PaintingScenario : public InstallScenario {
protected:
    // The control's outer rectangle inside a picture of the window.
    Area AreaOf(Control control) {
        RECT window, rect;
        GetWindowRect(session_->MainWindow(), &window);
        GetWindowRect(session_->ControlWindow(control), &rect);
        return {rect.left - window.left, rect.top - window.top, rect.right - window.left, rect.bottom - window.top};
    }

    Image CaptureWindow() {
        RECT window;
        GetWindowRect(session_->MainWindow(), &window);
        return CaptureScreen(window);
    }

    // A push button is drawn when its frame stands out from the face colour
    // all round and its caption puts dark pixels inside.
    void ExpectButtonDrawn(const Image& picture, Control control, const char* name) {
        SCOPED_TRACE(name);
        const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
        Area outer = AreaOf(control);
        Area inner = {outer.left + 2, outer.top + 2, outer.right - 2, outer.bottom - 2};
        int frame = outer.Count(picture, [&](uint32_t pixel) { return pixel != face; }) -
                    inner.Count(picture, [&](uint32_t pixel) { return pixel != face; });
        int ring = outer.Size() - inner.Size();
        EXPECT_GE(frame * 4, ring * 3) << frame << " of the " << ring << " frame pixels differ from the face colour";
        Area caption = {outer.left + 4, outer.top + 4, outer.right - 4, outer.bottom - 4};
        EXPECT_GE(caption.Count(picture, IsInk), 30) << "no caption drawn inside";
    }

    // The strip of a group box below its edit box: the face colour, never black.
    void ExpectGroupInsidePainted(const Image& picture, Control box, Control edit, const char* name) {
        SCOPED_TRACE(name);
        const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
        Area group = AreaOf(box);
        Area strip = {group.left + 4, AreaOf(edit).bottom + 2, group.right - 4, group.bottom - 4};
        ASSERT_GT(strip.Size(), 0);
        EXPECT_EQ(strip.Count(picture, [](uint32_t pixel) { return pixel == 0; }), 0) << "black inside the group box";
        EXPECT_EQ(strip.Count(picture, [&](uint32_t pixel) { return pixel == face; }), strip.Size());
    }
};

TEST_F(PaintingScenario, AfterTickingTheMovedButtonsAreDrawnAndTheGroupBoxesPaintTheirInside) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true));
    // Painting follows once the installer's queue is empty; the screenshot waits for it.
    session_->Screenshot(L"ticked");
    Image picture = CaptureWindow();
    ASSERT_GT(picture.width, 0);
    ExpectButtonDrawn(picture, Control::按钮1, u8"按钮1");
    ExpectButtonDrawn(picture, Control::按钮3, u8"按钮3");
    ExpectGroupInsidePainted(picture, Control::分组框1, Control::编辑框1, u8"分组框1");
    ExpectGroupInsidePainted(picture, Control::分组框3, Control::编辑框2, u8"分组框3");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

}  // namespace
