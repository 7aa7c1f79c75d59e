// Skin folders for the tests: SKINS\<name> under a chosen folder, with small
// bitmap files whose sizes tell which picture a button got.
#pragma once

#include <windows.h>

#include <string>

namespace skins {

// A width x height 24-bit bitmap file of one colour. True when written.
bool WriteBitmapFile(const std::string& path, int width, int height, COLORREF colour);

// Creates folder\SKINS\name (and SKINS itself when missing); returns the
// skin's folder.
std::string MakeSkinFolder(const std::string& folder, const std::string& name);

}  // namespace skins
