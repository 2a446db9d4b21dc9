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
    // all round and its caption puts dark pixels inside. What is wrong, or nothing.
    std::string ButtonProblem(const Image& picture, Control control, const char* name) {
        const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
        Area outer = AreaOf(control);
        Area inner = {outer.left + 2, outer.top + 2, outer.right - 2, outer.bottom - 2};
        int frame = outer.Count(picture, [&](uint32_t pixel) { return pixel != face; }) -
                    inner.Count(picture, [&](uint32_t pixel) { return pixel != face; });
        int ring = outer.Size() - inner.Size();
        if (frame * 4 < ring * 3)
            return std::string(name) + ": " + std::to_string(frame) + " of the " + std::to_string(ring) +
                   " frame pixels differ from the face colour\n";
        Area caption = {outer.left + 4, outer.top + 4, outer.right - 4, outer.bottom - 4};
        return caption.Count(picture, IsInk) < 30 ? std::string(name) + ": no caption drawn inside\n" : "";
    }

    // The strip of a group box below its edit box: the face colour, never black.
    std::string GroupInsideProblem(const Image& picture, Control box, Control edit, const char* name) {
        const uint32_t face = PixelOf(GetSysColor(COLOR_BTNFACE));
        Area group = AreaOf(box);
        Area strip = {group.left + 4, AreaOf(edit).bottom + 2, group.right - 4, group.bottom - 4};
        if (strip.Size() <= 0) return std::string(name) + ": no strip below the edit box\n";
        if (strip.Count(picture, [](uint32_t pixel) { return pixel == 0; }) > 0)
            return std::string(name) + ": black inside the group box\n";
        int painted = strip.Count(picture, [&](uint32_t pixel) { return pixel == face; });
        return painted == strip.Size() ? "" : std::string(name) + ": " + std::to_string(painted) + " of " +
                                                  std::to_string(strip.Size()) + " pixels in the face colour\n";
    }

    std::string Problems(const Image& picture) {
        if (picture.width == 0) return "no picture\n";
        return ButtonProblem(picture, Control::按钮1, u8"按钮1") + ButtonProblem(picture, Control::按钮3, u8"按钮3") +
               GroupInsideProblem(picture, Control::分组框1, Control::编辑框1, u8"分组框1") +
               GroupInsideProblem(picture, Control::分组框3, Control::编辑框2, u8"分组框3");
    }
};

TEST_F(PaintingScenario, AfterTickingTheMovedButtonsAreDrawnAndTheGroupBoxesPaintTheirInside) {
    ASSERT_NO_FATAL_FAILURE(StartAndAnswer());
    // Raised before the tick: what is then drawn is the installer's own painting.
    RaisedWindow raised(session_->MainWindow());
    ASSERT_NO_FATAL_FAILURE(TickVoiceChatOption());
    ASSERT_NO_FATAL_FAILURE(ExpectVerticalLayout(true));
    // Painting follows once the installer's queue is empty, and reaches the
    // screen a moment later: looked at until it is right.
    std::string problems;
    WaitUntil(kCeilingMs, [&] { return (problems = Problems(CaptureWindow())).empty(); });
    EXPECT_EQ(problems, "");
    session_->Screenshot(L"ticked");
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectExit(1));
}

}  // namespace
