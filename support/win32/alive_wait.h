// Waiting on the GUI thread without freezing its windows: they keep painting
// and answering the system, while what the user does meanwhile is dropped.
#pragma once

#include <windows.h>

#include <functional>

// Waits until the object is signalled (true), or until `giveUp`, asked at
// least ten times a second however many messages arrive, says to stop
// waiting (false). The object is looked at as often. Meanwhile the thread's
// messages are dispatched, except the user's input: keys, mouse messages of
// client areas and posted button clicks are dropped, so that nothing the user
// does during the wait is ever acted upon. The title bar and Alt+F4 still
// close a window. The pointer shows that the program is busy.
bool WaitWithWindowsAlive(HANDLE object, const std::function<bool()>& giveUp);

// Waits the time with the windows alive, as above.
void PauseWithWindowsAlive(unsigned milliseconds);

// True while such a wait is going on.
bool IsWaitingWithWindowsAlive();

// The pointer that shows the wait, for a window's WM_SETCURSOR meanwhile.
HCURSOR WaitPointer();
