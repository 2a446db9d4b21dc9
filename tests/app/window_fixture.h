// A fresh main window for each test, built by the real window layer with the
// handler doubles behind it.
#pragma once

#include "app/main_window.h"
#include "app/window_ids.h"
#include "app/window_template.h"
#include "tests/app/handler_doubles.h"
#include "tests/win32/window_reading.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// Dispatches what is queued, for at least `milliseconds`; a quit message is
// removed too, not dispatched: true when one was among them.
bool PumpMessages(DWORD milliseconds = 0);

LOGFONTW FontOf(HWND window);

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
    // For a test that loads the window again itself: closing it records no handler call.
    static void ForgetCallsAndClose();

    static HWND Handle(Control control) { return ControlWindow(control); }
    // In the parent's client area (on the screen for the window), read back from Windows.
    static Placement PlaceOf(Control control) { return ReadControl(Handle(control)).placement; }
};
