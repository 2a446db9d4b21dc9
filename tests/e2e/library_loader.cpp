// Loads the library named on its command line by its bare name, as a
// program that does not restrict its search does: the control showing that
// a planted library would be found.
#include <windows.h>

int wmain(int argc, wchar_t** argv) { return argc == 2 && LoadLibraryW(argv[1]) ? 0 : 1; }
