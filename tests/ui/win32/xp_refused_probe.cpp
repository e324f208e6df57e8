// Never run: a program Windows XP could not start, which the import check
// must refuse. It imports a function Windows Vista added and a comctl32
// subclass call by name, and its header asks for subsystem 6.0.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

// The build's headers hide it, as they hide everything newer than XP.
extern "C" WINBASEAPI ULONGLONG WINAPI GetTickCount64();

int main() {
  return static_cast<int>(GetTickCount64()) + ::SetWindowSubclass(nullptr, nullptr, 0, 0);
}
