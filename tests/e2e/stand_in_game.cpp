// Starfold.exe for the scenarios: a game that is running until someone ends
// it, with no window and nothing else to do.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Sleep(INFINITE);
    return 0;
}
