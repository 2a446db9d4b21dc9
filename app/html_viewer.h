// 超文本浏览框1: a panel window that hosts the platform's web browser
// through OLE. Where the platform has no browser engine the panel stays
// empty and navigating does nothing.
#pragma once

#include "support/text.h"

#include <windows.h>

// The window class of the panel, registered on first use.
const wchar_t* HtmlViewerClass();

// Remembers the address and starts loading it. The browser is embedded at
// the first navigation, so that it costs nothing before the window shows.
void NavigateHtmlViewer(HWND panel, const Text& address);

// The address last navigated to, as it was given.
Text HtmlViewerAddress();

// Whether a browser is embedded in the panel.
bool HtmlViewerHasBrowser();
