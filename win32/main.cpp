// 翠嶺秘抄 on Windows: creates the window, runs start-up, and answers clicks
// until the player quits.
#include <windows.h>

#include "form6.hpp"
#include "stretches.hpp"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    suirei::win32::Form6 window(suirei::story());
    if (!window.open(instance, show)) return 1;
    return window.run();
}
