#include "app/key_file_dialog.h"

#include <commdlg.h>

#include <cstring>

#include "resources/strings.h"
#include "win/program.h"

bool ChooseKeyFile(bool save, UINT titleId, char* name) {
  char title[kTextChars], filter[kTextChars];
  LoadText(titleId, title);
  // The filter is kept in the string table with '|' for its NUL separators.
  LoadText(IDS_KEY_FILE_FILTER, filter);
  for (char* p = filter; *p; ++p)
    if (*p == '|') *p = '\0';

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name;
  ofn.nMaxFile = kFileNameChars;
  ofn.lpstrTitle = title;
  ofn.lpstrDefExt = "vwg";
  // The dialogs must not move the current directory: the skins and the
  // add-on entry's start-up folder are taken relative to it.
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : 0);
  return save ? GetSaveFileNameA(&ofn) != 0 : GetOpenFileNameA(&ofn) != 0;
}
