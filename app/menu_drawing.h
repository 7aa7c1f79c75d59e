// The owner-drawn tray menu: a black column with the vertical banner at its
// bottom, and the commands with their 20 x 20 icons.
#pragma once

#include <windows.h>

void MeasureMenuItem(MEASUREITEMSTRUCT* item);
void DrawMenuItem(const DRAWITEMSTRUCT* item);

// Draws bitmap at (x, y) in its natural size with every pixel of keyColour
// replaced by the DC's current background colour.
void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF keyColour);
