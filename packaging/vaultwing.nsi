; The per-user installer of Vaultwing for ICQ. Built by the dist target of the
; Windows build (packaging/CMakeLists.txt), which defines:
;   WIDTH         32 or 64: the programs' and the installer's own width
;   VERSION       1.0.650, shown and used in the file name
;   FILE_VERSION  1.0.0.650, the four numbers of the version block
;   COMPANY, COPYRIGHT, WEB_ADDRESS   from the program's resource header
;   PROGRAM, CLI  the built vaultwing.exe and vwg.exe
;   README        the read-me, with Windows line ends
;   ART           folder with SKINS\<name>\*.bmp, wizard.bmp and header.bmp
;   ICON          the program's icon
;   OUTFILE       the installer to write
;
; It needs no administrator rights: everything goes under the user's own
; folders and HKEY_CURRENT_USER. The uninstaller removes what the installer
; and the program wrote, except the user's key files and the key paths under
; Software\Corvandel\Keys: without the secret key no message encrypted for
; the user could be read again.

Unicode true
!if ${WIDTH} == 64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define APP_NAME "Vaultwing for ICQ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_NAME}"
!define SETTINGS_KEY "Software\Corvandel\VWG for ICQ"
!define KEYS_KEY "Software\Corvandel\Keys"
!define ADDON_KEY "Software\Mirabilis\ICQ\Agent\Apps\${APP_NAME}"
; The program's value there is its Start with Windows setting.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Vaultwing"
!define CLASSES_KEY "Software\Classes"
!define SHORTCUT "$SMPROGRAMS\${APP_NAME}.lnk"
; Class of the program's hidden main window; closing it ends the program.
!define MAIN_WINDOW_CLASS "VWG for ICQ"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
; The key-file association quotes the program's path, so any folder will do.
InstallDir "$LOCALAPPDATA\Programs\Vaultwing"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Caption "${APP_NAME} Setup"
UninstallCaption "${APP_NAME} Uninstall"
BrandingText "${APP_NAME} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${APP_NAME}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP_NAME} Setup"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

!include "MUI2.nsh"
!include "WinMessages.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ART}/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${ART}/wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${ART}/header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${ART}/header.bmp"
!define MUI_ABORTWARNING

Var KeptKeys

; --- installer pages ---------------------------------------------------------

!define MUI_WELCOMEPAGE_TEXT "Setup will install ${APP_NAME} ${VERSION} for you alone, in your own \
application data folder; no administrator rights are needed.$\r$\n$\r$\n\
${APP_NAME} adds Encrypt and Decrypt buttons to ICQ's message windows. \
It comes with vwg, its command-line companion, and two example button skins.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${APP_NAME} has been installed. Start it from the Start menu; \
on its first start it offers to generate your keys.$\r$\n$\r$\n\
Its icon then lives in the notification area: right-click it for the menu."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP_NAME} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the read-me"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

; --- uninstaller pages -------------------------------------------------------

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${APP_NAME} will be removed from the folder below. \
Your key files and the registry entries that name them are kept."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Your keys were kept"
!define MUI_FINISHPAGE_TEXT "${APP_NAME} has been removed: its files, its Start-menu shortcut, \
its settings, the key-file association, its entry in ICQ's add-on list and its start with Windows.$\r$\n$\r$\n\
Your key files were NOT removed, nor their paths under HKEY_CURRENT_USER\${KEYS_KEY}: \
without your secret key, no message encrypted for you could be read again. \
Installing ${APP_NAME} again finds them.$\r$\n$\r$\n$KeptKeys"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; --- the files ---------------------------------------------------------------

; The example skins, one line each; the installer copies them and the
; uninstaller removes exactly these files.
!macro ForEachSkin ACTION
  !insertmacro ${ACTION} "Meadow"
  !insertmacro ${ACTION} "Midnight"
!macroend

!macro InstallSkin NAME
  SetOutPath "$INSTDIR\SKINS\${NAME}"
  File "${ART}/SKINS/${NAME}/encrypt.bmp"
  File "${ART}/SKINS/${NAME}/decrypt.bmp"
!macroend

!macro RemoveSkin NAME
  Delete "$INSTDIR\SKINS\${NAME}\encrypt.bmp"
  Delete "$INSTDIR\SKINS\${NAME}\decrypt.bmp"
  RMDir "$INSTDIR\SKINS\${NAME}"
!macroend

; The key-file association under one root:
; .vwg only while it still names this program's class.
!macro RemoveAssociation ROOT
  ReadRegStr $0 ${ROOT} "${CLASSES_KEY}\.vwg" ""
  StrCmp $0 "VWG.KeyFile" 0 +2
  DeleteRegKey ${ROOT} "${CLASSES_KEY}\.vwg"
  DeleteRegKey ${ROOT} "${CLASSES_KEY}\VWG.KeyFile"
!macroend

; A running copy holds vaultwing.exe open: it is asked to close (as its Exit
; command does) and awaited, so that its file can be replaced or removed.
!macro CloseRunningProgram UN
Function ${UN}CloseRunningProgram
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  StrCmp $0 0 done
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${APP_NAME} is running. Setup will close it now." /SD IDOK IDOK close
  Abort
close:
  System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
  System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"  ; SYNCHRONIZE
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r3"
  System::Call "kernel32::CloseHandle(p r2)"
  FindWindow $0 "${MAIN_WINDOW_CLASS}"
  StrCmp $0 0 done
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP_NAME} is still running. Exit it from its tray menu, then press Retry." \
    /SD IDCANCEL IDRETRY close
  Abort
done:
FunctionEnd
!macroend
!insertmacro CloseRunningProgram ""
!insertmacro CloseRunningProgram "un."

; Started from here, the program runs in its own folder, the first place it
; looks for its SKINS folder.
Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\vaultwing.exe"'
FunctionEnd

Section "Install"
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "${PROGRAM}"
  File "${CLI}"
  File "/oname=README.txt" "${README}"
  !insertmacro ForEachSkin InstallSkin

  ; The shortcut's working folder is the output folder in force.
  SetOutPath "$INSTDIR"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\vaultwing.exe" "" "$INSTDIR\vaultwing.exe" 0 SW_SHOWNORMAL "" \
    "Public-key encryption for ICQ messages"

  ; The key-file association, per user. The program rewrites it at every
  ; start through HKEY_CLASSES_ROOT; without administrator rights those writes
  ; only succeed where the keys already exist under the user's own classes.
  WriteRegStr HKCU "${CLASSES_KEY}\.vwg" "" "VWG.KeyFile"
  WriteRegStr HKCU "${CLASSES_KEY}\VWG.KeyFile" "" "Vaultwing Key File"
  WriteRegStr HKCU "${CLASSES_KEY}\VWG.KeyFile\DefaultIcon" "" '"$INSTDIR\vaultwing.exe",1'
  WriteRegStr HKCU "${CLASSES_KEY}\VWG.KeyFile\shell\open\command" "" '"$INSTDIR\vaultwing.exe" "%1"'
  System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"  ; SHCNE_ASSOCCHANGED

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vaultwing.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_ADDRESS}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- the uninstaller ---------------------------------------------------------

Function un.onInit
  ReadRegStr $0 HKCU "${KEYS_KEY}" "Secret Key"
  ReadRegStr $1 HKCU "${KEYS_KEY}" "Public Key"
  StrCpy $KeptKeys ""
  StrCmp $0 "" +2
  StrCpy $KeptKeys "Secret key: $0$\r$\n"
  StrCmp $1 "" +2
  StrCpy $KeptKeys "$KeptKeysPublic keys: $1"
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  Delete "$INSTDIR\vaultwing.exe"
  Delete "$INSTDIR\vwg.exe"
  Delete "$INSTDIR\README.txt"
  !insertmacro ForEachSkin RemoveSkin
  ; Only the files installed here go: the folders stay while they hold
  ; anything else, such as skins of the user's own or key files, which the
  ; program offers to save in its current folder.
  RMDir "$INSTDIR\SKINS"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"

  ; Settings\ and its values; Software\Corvandel itself only when nothing
  ; else (the key paths) is left in it.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Corvandel"
  ; Only this program's entry: the rest of the list is ICQ's.
  DeleteRegKey HKCU "${ADDON_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  !insertmacro RemoveAssociation HKCU
  ; Where the program's own writes went when it could write the machine's
  ; classes (an administrator; any user under Wine). Without the rights this
  ; fails quietly, and there is nothing there of the program's to remove.
  !insertmacro RemoveAssociation HKLM
  System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"  ; SHCNE_ASSOCCHANGED
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
