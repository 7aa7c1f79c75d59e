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

static void NoticeBox(HWND owner, const char* text) {
  char caption[kTextChars];
  LoadText(IDS_APP_NAME, caption);
  MessageBoxA(owner, text, caption, MB_OK | MB_ICONINFORMATION);
}

void ShowNotice(UINT textId) { ShowNoticeOver(MainWindow, textId); }

void ShowNoticeText(const char* text) { NoticeBox(MainWindow, text); }

void ShowNoticeOver(HWND owner, UINT textId) {
  char text[kTextChars];
  LoadText(textId, text);
  NoticeBox(owner, text);
}
