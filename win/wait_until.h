// Waiting on another program while its messages to us are answered. The
// keyboard route waits on what other programs do (a copy, a paste), and
// those programs send messages to ours meanwhile (a request to render the
// clipboard); posted messages stay queued for the main loop, so that no
// menu, timer or hotkey of ours runs in the middle of the wait.
#pragma once

#include <windows.h>

#include <functional>

// Calls done until it returns true or timeoutMs have passed, answering
// messages sent to the calling thread in between. Hotkeys pressed meanwhile
// are dropped: a press while the last one is handled does nothing. True
// when done returned true.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);
