#include "tests/app/skin_folders.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace skins {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

bool WriteBitmapFile(const std::string& path, int width, int height, COLORREF colour) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;  // rows padded to 4 bytes
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> file;
  // BITMAPFILEHEADER, then BITMAPINFOHEADER, field by field.
  Put16(file, 0x4D42);  // "BM"
  Put32(file, 14 + 40 + pixelBytes);
  Put32(file, 0);
  Put32(file, 14 + 40);
  Put32(file, 40);
  Put32(file, static_cast<uint32_t>(width));
  Put32(file, static_cast<uint32_t>(height));
  Put16(file, 1);   // planes
  Put16(file, 24);  // bits per pixel
  Put32(file, BI_RGB);
  Put32(file, pixelBytes);
  Put32(file, 2835);  // 72 dpi
  Put32(file, 2835);
  Put32(file, 0);
  Put32(file, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      file.push_back(GetBValue(colour));
      file.push_back(GetGValue(colour));
      file.push_back(GetRValue(colour));
    }
    file.resize(file.size() + rowBytes - static_cast<uint32_t>(width) * 3, 0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && written;
}

std::string MakeSkinFolder(const std::string& folder, const std::string& name) {
  const std::string skins = folder + "\\SKINS";
  CreateDirectoryA(skins.c_str(), nullptr);
  const std::string skin = skins + "\\" + name;
  CreateDirectoryA(skin.c_str(), nullptr);
  return skin;
}

}  // namespace skins
