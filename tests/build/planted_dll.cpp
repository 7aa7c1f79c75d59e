// A DLL planted beside a program under the name of a system DLL: when the
// program loads it, it ends the process at once with exit code 77, which
// no program under test uses, so that a test knows which one was taken.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ExitProcess(77);
  return TRUE;
}
