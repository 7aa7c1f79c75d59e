#include "app/menu_drawing.h"

#include "app/process_state.h"
#include "resources/resource.h"
#include "resources/strings.h"
#include "win/handles.h"
#include "win/program.h"

namespace {

constexpr COLORREF kIconKeyColour = RGB(255, 0, 255);
constexpr int kIconSize = 20;
constexpr int kTextIndent = 25;
constexpr int kTextMargin = 8;  // room after the longest text
constexpr int kBannerWidth = 9, kBannerHeight = 188;
constexpr int kBannerBitmapWidth = 25, kBannerBitmapHeight = 178;
// The banner column is drawn wider than its item, over the menu's own gap.
constexpr int kBannerOverhang = 4;
constexpr int kCommandWidth = 170;
// The second column: 7 commands and 4 separators; positions in the menu.
constexpr int kCommandCount = 7, kSeparatorCount = 4;
constexpr int kFirstCommandPosition = 1, kFirstSeparatorPosition = 3;

struct MenuCommand {
  UINT id;
  UINT textId;
  int icon;  // index into MenuIcons
};

const MenuCommand kCommands[kMenuIconCount] = {
    {IDM_ENCRYPT_CLIPBOARD, IDS_MENU_ENCRYPT_CLIPBOARD, 0}, {IDM_DECRYPT_CLIPBOARD, IDS_MENU_DECRYPT_CLIPBOARD, 1},
    {IDM_GENERATE_KEYS, IDS_MENU_GENERATE_KEYS, 2},         {IDM_KEY_MANAGER, IDS_MENU_KEY_MANAGER, 3},
    {IDM_SETTINGS, IDS_MENU_SETTINGS, 4},                   {IDM_ABOUT, IDS_MENU_ABOUT, 5},
    {IDM_EXIT, IDS_MENU_EXIT, 6},
};

const MenuCommand* FindCommand(UINT id) {
  for (const MenuCommand& c : kCommands)
    if (c.id == id) return &c;
  return nullptr;
}

int ItemHeight(HMENU menu, int position) {
  RECT r;
  // A null window makes the system find the popup menu's own window.
  return GetMenuItemRect(nullptr, menu, position, &r) ? r.bottom - r.top : 0;
}

// The banner ends level with the bottom of the command column, whatever the
// system's menu metrics; the black fill covers the column above it.
void DrawBanner(const DRAWITEMSTRUCT* item) {
  const HMENU menu = reinterpret_cast<HMENU>(item->hwndItem);
  const int columnHeight = kCommandCount * ItemHeight(menu, kFirstCommandPosition) +
                           kSeparatorCount * ItemHeight(menu, kFirstSeparatorPosition);
  const RECT& r = item->rcItem;

  MemoryDC memory(CreateCompatibleDC(item->hDC));
  BitmapHandle banner(LoadBitmapA(AppInstance, MAKEINTRESOURCEA(IDB_BANNER)));
  SelectGuard select(memory.get(), banner.get());
  BrushHandle black(CreateSolidBrush(RGB(0, 0, 0)));
  const RECT fill = {r.left, r.top, r.right + kBannerOverhang, columnHeight - kBannerBitmapHeight};
  FillRect(item->hDC, &fill, black.get());
  StretchBlt(item->hDC, r.left, r.top + columnHeight - kBannerBitmapHeight, r.right - r.left + kBannerOverhang,
             kBannerBitmapHeight, memory.get(), 0, 0, kBannerBitmapWidth, kBannerBitmapHeight, SRCCOPY);
}

void DrawCommand(const DRAWITEMSTRUCT* item, const MenuCommand& command) {
  const bool selected = item->itemState == ODS_SELECTED;
  const int background = selected ? COLOR_HIGHLIGHT : COLOR_MENU;
  SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  SetBkColor(item->hDC, GetSysColor(background));
  FillRect(item->hDC, &item->rcItem, GetSysColorBrush(background));

  const RECT& r = item->rcItem;
  const int iconTop = r.top + (r.bottom - r.top) / 2 - kIconSize / 2;
  DrawTransparentBitmap(item->hDC, r.left, iconTop, MenuIcons[command.icon].get(), kIconKeyColour);

  char text[kTextChars];
  LoadText(command.textId, text);
  RECT textRect = r;
  textRect.left += kTextIndent;
  // Without DT_NOPREFIX, so that "&" underlines the mnemonic.
  DrawTextA(item->hDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS);
}

// 170 pixels, or wider where the menu font needs more room for the text
// than that leaves, so that no command is cut short.
int CommandWidth(UINT textId) {
  char text[kTextChars];
  LoadText(textId, text);
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return kCommandWidth;
  WindowDC dc(nullptr);
  FontHandle font(CreateFontIndirectA(&metrics.lfMenuFont));
  SelectGuard select(dc.get(), font.get());
  RECT r = {0, 0, 0, 0};
  DrawTextA(dc.get(), text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
  const int needed = kTextIndent + (r.right - r.left) + kTextMargin;
  return needed > kCommandWidth ? needed : kCommandWidth;
}

}  // namespace

void MeasureMenuItem(MEASUREITEMSTRUCT* item) {
  if (item->itemID == IDM_BANNER) {
    item->itemWidth = kBannerWidth;
    item->itemHeight = kBannerHeight;
  } else if (const MenuCommand* command = FindCommand(item->itemID)) {
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    item->itemWidth = CommandWidth(command->textId);
    item->itemHeight = menuHeight > kIconSize ? menuHeight : kIconSize;
  }
}

void DrawMenuItem(const DRAWITEMSTRUCT* item) {
  if (item->itemID == IDM_BANNER) return DrawBanner(item);
  if (const MenuCommand* command = FindCommand(item->itemID)) DrawCommand(item, *command);
}

void DrawTransparentBitmap(HDC dc, int x, int y, HBITMAP bitmap, COLORREF keyColour) {
  BITMAP info;
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return;
  const int w = info.bmWidth, h = info.bmHeight;

  MemoryDC source(CreateCompatibleDC(dc)), mask(CreateCompatibleDC(dc)), work(CreateCompatibleDC(dc));
  BitmapHandle maskBitmap(CreateCompatibleBitmap(mask.get(), w, h));  // monochrome, like a new memory DC
  BitmapHandle workBitmap(CreateCompatibleBitmap(dc, w, h));
  SelectGuard selectSource(source.get(), bitmap);
  SelectGuard selectMask(mask.get(), maskBitmap.get());
  SelectGuard selectWork(work.get(), workBitmap.get());

  // Colour to monochrome: pixels of the source's background colour become 1.
  const COLORREF oldSourceBk = SetBkColor(source.get(), keyColour);
  BitBlt(mask.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
  SetBkColor(source.get(), oldSourceBk);

  BitBlt(work.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
  BrushHandle brush(CreateSolidBrush(GetBkColor(dc)));
  SelectGuard selectBrush(work.get(), brush.get());
  const COLORREF oldText = SetTextColor(work.get(), RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(work.get(), RGB(255, 255, 255));
  // D ^ (S & (P ^ D)): where the mask is 1 the brush replaces the pixel.
  BitBlt(work.get(), 0, 0, w, h, mask.get(), 0, 0, 0x00E20746);
  BitBlt(dc, x, y, w, h, work.get(), 0, 0, SRCCOPY);
  SetTextColor(work.get(), oldText);
  SetBkColor(work.get(), oldBk);
}
