// Stand-in for a game on the sample disc: a window that says which variant it is and where it runs.
#include <windows.h>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
