// The place of the added button in an ICQ dialog, taken from ICQ's own
// controls each time, so that the button follows when ICQ rearranges them.
#pragma once

#include <windows.h>

#include <cstdint>

// The button's x, y, width and height in the dialog's client coordinates for
// a send dialog, or for an incoming dialog when incoming is set. False, with
// all four set to 0, when a control is missing or a rectangle cannot be read
// (the dialog may be closing). Dispatches the program's own messages on the
// way (PumpMessages).
bool ComputeButtonPlacement(bool incoming, HWND dialog, int32_t& x, int32_t& y, int32_t& width,
                            int32_t& height);
