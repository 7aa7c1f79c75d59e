/* Identifiers of the program's resources and of the controls in its dialog
   templates, shared by vaultwing.rc and the C++ code. Plain #defines so that
   the resource compiler reads them too. */
#ifndef VWG_RESOURCES_RESOURCE_H
#define VWG_RESOURCES_RESOURCE_H

/* Version; the build number is the low word of the file version and is
   shown as "Build #650". */
#define VWG_VERSION_MAJOR 1
#define VWG_VERSION_MINOR 0
#define VWG_VERSION_PATCH 0
#define VWG_VERSION_BUILD 650
#define VWG_FILE_VERSION_TEXT "1.0.0.650"
#define VWG_PRODUCT_VERSION_TEXT "1.0"
#define VWG_PRODUCT_NAME "Vaultwing for ICQ"
#define VWG_COMPANY_NAME "Corvandel"
#define VWG_COPYRIGHT "Copyright (c) 2026 Corvandel"
#define VWG_WEB_ADDRESS "https://vaultwing.example/"
#define VWG_CONTACT_ADDRESS "support@vaultwing.example"

/* Icons. The shell shows key files with icon index 1, which is IDI_TRAY:
   icon groups are numbered in the order of their identifiers. */
#define IDI_APP 100
#define IDI_TRAY 101

/* Bitmaps */
#define IDB_SPLASH 200
#define IDB_ABOUT 201
#define IDB_ENCRYPT 202
#define IDB_DECRYPT 203
#define IDB_BANNER 204
#define IDB_MENU_ENCRYPT_CLIPBOARD 205
#define IDB_MENU_DECRYPT_CLIPBOARD 206
#define IDB_MENU_GENERATE_KEYS 207
#define IDB_MENU_KEY_MANAGER 208
#define IDB_MENU_SKINS 209
#define IDB_MENU_SETTINGS 210
#define IDB_MENU_HELP 211
#define IDB_MENU_ABOUT 212
#define IDB_MENU_EXIT 213

/* The link's hand cursor. Not IDC_HAND: <winuser.h> already names the
   system's own hand cursor so. */
#define IDC_LINK_HAND 300

/* Tray menu (an extended menu: owner-drawn items need their types) */
#define IDR_TRAY_MENU 400
#define IDM_BANNER 401
#define IDM_ENCRYPT_CLIPBOARD 402
#define IDM_DECRYPT_CLIPBOARD 403
#define IDM_GENERATE_KEYS 404
#define IDM_KEY_MANAGER 405
#define IDM_SETTINGS 407
#define IDM_ABOUT 409
#define IDM_EXIT 410

/* Splash window */
#define IDD_SPLASH 700
#define IDC_SPLASH_PICTURE 701
#define IDC_SPLASH_VERSION 702
#define IDC_SPLASH_COPYRIGHT 705

/* About box */
#define IDD_ABOUT 800
#define IDC_ABOUT_VERSION 801
#define IDC_ABOUT_COPYRIGHT 802
#define IDC_ABOUT_OK 804
#define IDC_ABOUT_LINK 805
#define IDC_ABOUT_CONTACT 806
#define IDC_ABOUT_PICTURE 808

/* User-ID dialog of the export */
#define IDD_USER_ID 900
#define IDC_USER_ID_EDIT 901
#define IDC_USER_ID_OK 902
#define IDC_USER_ID_CANCEL 903
#define IDC_USER_ID_LABEL 904
#define IDC_USER_ID_PROMPT 905

/* Property sheet page: Public Key Manager */
#define IDD_KEY_MANAGER 1000
#define IDC_KEYS_GROUP 1001
#define IDC_KEY_LIST 1002
#define IDC_IMPORT 1003
#define IDC_EXPORT 1004
#define IDC_REMOVE 1005
#define IDC_CHANGE_ID 1006
#define IDC_FINGERPRINT_LABEL 1007
#define IDC_FINGERPRINT 1008
#define IDC_OLD_FORMAT 1009

/* Property sheet page: Settings */
#define IDD_SETTINGS 1100
#define IDC_GENERAL_GROUP 1101
#define IDC_LAUNCH_ON_STARTUP 1102
#define IDC_ENABLE_SKINS 1103
#define IDC_SKINS_LABEL 1104
#define IDC_SKIN_COMBO 1105
#define IDC_MESSAGES_GROUP 1106
#define IDC_AUTO_ENCRYPT 1107
#define IDC_AUTO_DECRYPT 1108
#define IDC_NO_ENCRYPT_WARNING 1109
#define IDC_NO_INSECURE_WARNING 1110
#define IDC_PASSWORD_PROTECT 1111
#define IDC_START_WITH_WINDOWS 1112
#define IDC_HOTKEYS_GROUP 1113
#define IDC_ENCRYPT_HOTKEY_LABEL 1114
#define IDC_ENCRYPT_HOTKEY 1115
#define IDC_DECRYPT_HOTKEY_LABEL 1116
#define IDC_DECRYPT_HOTKEY 1117
#define IDC_HOTKEYS_NOTE 1118
#define IDC_DECRYPT_COPIED 1119

/* Passphrase dialog: unlocking the secret key, or a new passphrase typed
   twice */
#define IDD_PASSPHRASE 1200
#define IDC_PASSPHRASE_PROMPT 1201
#define IDC_PASSPHRASE_FILE 1202
#define IDC_PASSPHRASE_LABEL 1203
#define IDC_PASSPHRASE_EDIT 1204
#define IDC_PASSPHRASE_REPEAT_LABEL 1205
#define IDC_PASSPHRASE_REPEAT 1206
#define IDC_PASSPHRASE_NOTICE 1207
#define IDC_PASSPHRASE_OK 1208
#define IDC_PASSPHRASE_CANCEL 1209

/* Reading window: the messages the Decrypt hotkey found, decrypted */
#define IDD_READING 1500
#define IDC_READING_TEXT 1501
#define IDC_READING_COPY 1502
#define IDC_READING_SENDER 1503

#endif
