#include "win/program.h"

#include "resources/strings.h"

HINSTANCE AppInstance;
HWND MainWindow;

void LoadText(UINT id, char* buf) {
  if (LoadStringA(AppInstance, id, buf, kTextChars) <= 0) buf[0] = '\0';
}

bool AskQuestion(HWND owner, const char* text) {
  char caption[kTextChars];
  LoadText(IDS_QUESTION_CAPTION, caption);
  return MessageBoxA(owner, text, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

void ShowNotice(UINT textId, HWND owner) {
  char text[kTextChars];
  LoadText(textId, text);
  ShowNoticeText(text, owner);
}

void ShowNoticeText(const char* text, HWND owner) {
  char caption[kTextChars];
  LoadText(IDS_APP_NAME, caption);
  MessageBoxA(owner ? owner : MainWindow, text, caption, MB_OK | MB_ICONINFORMATION);
}
