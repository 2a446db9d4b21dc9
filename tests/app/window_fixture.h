// A fresh main window for each test, built by the real window layer with the
// handler doubles behind it.
#pragma once

#include "app/main_window.h"
#include "tests/app/handler_doubles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// Dispatches what is queued, for at least `milliseconds`.
void PumpMessages(DWORD milliseconds = 0);

// Removes every queued message, the quit message included; true when a quit message was among them.
bool DrainQueue();

// The outer rectangle in the parent's client area, read back from Windows.
RECT PlaceInParent(HWND window);
std::wstring TextOf(HWND window);
LOGFONTW FontOf(HWND window);

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    static HWND Handle(Control control) { return ControlWindow(control); }
};
