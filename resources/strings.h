/* The program's string table, entries from 1300 on: one list that feeds both
   the resource script's STRINGTABLE and the portable code (key files, the
   command-line companion), so that every text has exactly one source.
   X(name, id, text) */
#ifndef VWG_RESOURCES_STRINGS_H
#define VWG_RESOURCES_STRINGS_H

#define VWG_STRING_TABLE(X) \
  X(IDS_APP_NAME, 1300, "Vaultwing for ICQ") \
  X(IDS_MENU_ENCRYPT_CLIPBOARD, 1301, "&Encrypt Clipboard") \
  X(IDS_MENU_DECRYPT_CLIPBOARD, 1302, "&Decrypt Clipboard") \
  X(IDS_MENU_GENERATE_KEYS, 1303, "&Generate Secret/Public Keys") \
  X(IDS_MENU_KEY_MANAGER, 1304, "&Public Key Manager") \
  X(IDS_QUESTION_CAPTION, 1305, "VWG") \
  X(IDS_MENU_SETTINGS, 1306, "&Settings...") \
  X(IDS_IMPORT_CAPTION, 1307, "Public Key Importing") \
  X(IDS_MENU_ABOUT, 1308, "&About VWG for ICQ...") \
  X(IDS_MENU_EXIT, 1309, "E&xit") \
  X(IDS_SEND_TO, 1310, "Send To") \
  X(IDS_RECEIVED_FROM, 1311, "Received From") \
  X(IDS_DEFAULT_PUBLIC_FILE, 1312, "public.vwg") \
  X(IDS_DEFAULT_SECRET_FILE, 1313, "secret.vwg") \
  X(IDS_DEFAULT_IMPORT_FILE, 1314, "import.vwg") \
  X(IDS_DEFAULT_EXPORT_FILE, 1315, "export.vwg") \
  X(IDS_SAVE_PUBLIC_TITLE, 1316, "Save Public Key As") \
  X(IDS_SAVE_SECRET_TITLE, 1317, "Save Secret Key As") \
  X(IDS_OPEN_PUBLIC_TITLE, 1318, "Open Public Key File") \
  X(IDS_OPEN_SECRET_TITLE, 1319, "Open Secret Key File") \
  X(IDS_CAPTION_SEND_ONLINE, 1320, "Send Online Message") \
  X(IDS_CAPTION_SEND_OFFLINE, 1321, "Send Offline Message") \
  X(IDS_CAPTION_SEND, 1322, "Send Message") \
  X(IDS_CAPTION_SEND_MULTIPLE, 1323, "Send Multiple") \
  X(IDS_CAPTION_INCOMING, 1324, "Incoming Message") \
  X(IDS_CAPTION_EVENT_DETAILS, 1325, "Event Details") \
  X(IDS_NO_KEYS, 1326, "You have to generate or specify public and secret key files before you can procede!") \
  X(IDS_OWNER_SUFFIX, 1327, " -- Owner") \
  X(IDS_KEY_FILE_FILTER, 1328, "VWG Key Files (*.vwg)|*.vwg|") \
  X(IDS_ASK_GENERATE_FIRST, 1329, "Unable to find existing secret/public key files.  Would you like to generate new keys?") \
  X(IDS_ASK_GENERATE_AGAIN, 1330, "Are you sure that you want to generate new keys and replace the old ones?\n\nNOTE:  All the public keys that you have now will be lost.  If you'd like to keep them, please say NO now and export all the keys that you would like to keep from Public Key Manager.  Once you have generated new keys, import all the public keys back.") \
  X(IDS_ASK_REMOVE_KEY, 1331, "Are you sure that you want to remove this public key?") \
  X(IDS_BAD_PUBLIC_KEY_FILE, 1332, "Incorrect public key file format!") \
  X(IDS_BAD_SECRET_KEY_FILE, 1333, "Incorrect secret key file format!") \
  X(IDS_OLD_COMCTL32, 1334, "Vaultwing for ICQ requires version 4.70 or greater of COMCTL32.DLL.  Please download this control from Microsoft: http://www.microsoft.com/msdownload/ieplatform/ie/comctrlx86.asp") \
  X(IDS_ERROR_CAPTION, 1335, "Vaultwing for ICQ Error") \
  X(IDS_UNKNOWN_ERROR, 1336, "Unknown error") \
  X(IDS_DEFAULT_USER_ID, 1337, "Owner") \
  X(IDS_CLIPBOARD_DONE, 1338, "The message has been encrypted or decrypted and the result has been put into Windows Clipboard.  It can be accessed with standard Copy/Paste/Cut functions") \
  X(IDS_IMPORT_DONE, 1339, "Public Key has been successfully imported") \
  X(IDS_USER_ID_CAPTION, 1340, "Public Key ID") \
  X(IDS_AUTO_ENCRYPT_NO_KEY, 1341, "The recipient's public key could not be found and selected, so this message is being sent unencrypted.  Automatic encryption finds a key by the recipient's UIN: put the UIN into the key's User ID.") \
  X(IDS_AUTO_ENCRYPT_RING, 1342, "Automatic encryption needs the User IDs of your public key ring to hold your contacts' UINs.  Please change the User IDs in Public Key Manager before you turn this option on.") \
  X(IDS_RING_FULL, 1343, "The public key ring is full: it holds at most 1000 keys.  No key has been imported.") \
  X(IDS_BAD_KEY, 1344, "This public key is not valid and cannot be used.  Ask its owner to export it again.") \
  X(IDS_NOT_ENCRYPTED, 1345, "This message is not encrypted.") \
  X(IDS_KEY_CHANGED, 1346, "The key for %s differs from the one in your key ring. Someone may be pretending to be %s. Import it anyway?") \
  X(IDS_CLIPBOARD_NO_TEXT, 1347, "There is no text in Windows Clipboard.  Copy the message first, then choose the command again.") \
  X(IDS_IMPORT_MORE, 1348, "... and %d more") \
  X(IDS_UNKNOWN_SENDER, 1349, "This message comes from a key that is not in your public key ring (key ID %s).  Import the sender's public key, then decrypt the message again.") \
  X(IDS_MESSAGE_REFUSED, 1350, "This message was changed on the way, or was not encrypted for you.") \
  X(IDS_MESSAGE_TOO_LONG, 1351, "This message is too long to encrypt.") \
  X(IDS_CRYPTO_FAILED, 1352, "The system's cryptography failed, so the message has been left as it was.") \
  X(IDS_OTHER_SENDER, 1353, "This message comes from the key with the ID %s, not from the key you chose.") \
  X(IDS_WRONG_PASSPHRASE, 1370, "Wrong passphrase, or the secret key file is damaged.") \
  X(IDS_PASSPHRASE_NEEDED, 1371, "The secret key file is protected by a passphrase.") \
  X(IDS_UNLOCK_CAPTION, 1372, "Unlock Secret Key") \
  X(IDS_UNLOCK_PROMPT, 1373, "Enter the passphrase that protects your secret key file:") \
  X(IDS_PROTECT_CAPTION, 1374, "Password Protect") \
  X(IDS_PROTECT_PROMPT, 1375, "Choose a passphrase for your secret key file and type it twice:") \
  X(IDS_UNPROTECT_PROMPT, 1376, "Enter the passphrase to store your secret key file without protection:") \
  X(IDS_NEW_KEY_CAPTION, 1377, "New Secret Key") \
  X(IDS_NEW_KEY_PROMPT, 1378, "Choose a passphrase for your new secret key and type it twice, or leave both empty to store it without one:") \
  X(IDS_PASSPHRASE_EMPTY, 1379, "Please type a passphrase: an empty one protects nothing.") \
  X(IDS_PASSPHRASE_MISMATCH, 1380, "The two entries differ. Please type the same passphrase twice.") \
  X(IDS_PASSPHRASE_RETRY, 1381, "Wrong passphrase, or the file is damaged. Please try again.") \
  X(IDS_UNLOCK_CANCELLED, 1382, "Vaultwing for ICQ cannot run without your secret key, which stays locked until you give its passphrase.") \
  X(IDS_INSECURE_MESSAGE, 1390, "The message from %s came unencrypted: anyone on its way could have read or changed it.") \
  X(IDS_AUTO_DECRYPT_NO_RING, 1391, "A message has arrived but was not decrypted: your public key ring cannot be read, or does not belong to your secret key.  Press Decrypt to see what is wrong.") \
  X(IDS_SAME_KEY_FILE, 1400, "The public key file and the secret key file must be two different files.  Nothing has been written.") \
  X(IDS_USER_ID_CONTROL, 1401, "A user ID may not hold control characters such as tabs or line breaks.") \
  X(IDS_KEY_PAIR_MISMATCH, 1403, "The secret key file %s does not belong to the public key ring %s: the ring's first key is not this secret key's public key, and nobody could read the messages encrypted with them.  Choose the two files of one key pair, or generate new keys.") \
  X(IDS_RING_NOT_RESTORED, 1410, "The public key ring %s could not be put back as it was either: it now holds only the new public key, whose secret key was saved nowhere.  Put back a copy of your old ring, or generate new keys again.") \
  X(IDS_KEY_PATHS_NOT_STORED, 1411, "The places of the key files %s and %s could not be recorded in the registry, so the next start will not find them.  The keys stay in use until the program ends.") \
  X(IDS_STRONG_KEY_OF_OTHER, 1420, "%s uses the strong key of %s") \
  X(IDS_ASK_ADD_STRONG_KEY, 1421, "%s now has a strong key, with the new fingerprint %s.  Whoever could change the key file could have put their own strong key there: compare the fingerprint with %s before relying on it.  Add the strong key?") \
  X(IDS_IMPORTED_WITHOUT_STRONG_KEY, 1422, "%s has no strong key: messages to and from it are not authenticated until its owner's program sends a key file with a strong key.") \
  X(IDS_OLDER_FORMAT_REFUSED, 1423, "%s's program writes strong messages. This older-format text was forged, or %s does not have your strong key yet: send %s your key file again") \
  X(IDS_SENT_WITHOUT_STRONG_KEY, 1424, "The key of %s has no strong key, so this message is not authenticated (and, in the old format, one guessed message opens it).  Exchanging key files again fixes it.") \
  X(IDS_FROM_SENDER, 1425, "From %s (%s).") \
  X(IDS_FROM_SENDER_WRITTEN, 1426, "From %s (%s), written %s UTC.") \
  X(IDS_FROM_OLDER_FORMAT, 1427, "From %s, older format: not authenticated.") \
  X(IDS_ASK_OTHER_SENDER, 1428, "This message is from %s, not from %s.  Show it in this dialog anyway?") \
  X(IDS_AUTO_DECRYPT_OTHER_SENDER, 1429, "A message in the dialog of %s is from %s, so it has been left encrypted.  Press Decrypt to read it.") \
  X(IDS_STRONG_KEYS_DROPPED, 1430, "An older copy of Vaultwing has rewritten your public key ring and dropped its strong keys.  Your own has been added again; please import your correspondents' key files again, or messages to and from them are not authenticated.") \
  X(IDS_STRONG_KEY_MARK, 1431, " (no strong key)") \
  X(IDS_OWN_KEY_NOT_CHANGED, 1432, "%s: this is your own key's user ID or point, but another key; your own key is never replaced by an import.") \
  X(IDS_ALREADY_IN_RING, 1433, "%s is already in the ring and has not been imported again.") \
  X(IDS_STRONG_KEY_ADDED, 1434, "%s: strong key added, fingerprint %s: compare it with %s") \
  X(IDS_AUTO_DECRYPT_UNTRUSTED, 1500, "A message from %s has been left encrypted: its window belongs to a sandboxed program, or one with fewer rights than Vaultwing, which could be posing as ICQ.  If it is ICQ's, press Decrypt.") \
  X(IDS_DIALOG_NOT_ANSWERING, 1501, "The message window is not answering, so nothing in it has been changed.  Try again once it answers.") \
  X(IDS_ASK_IMPORT_FILE, 1502, "%s holds these public keys:\n\n%s\n\nAnyone could have made this file: compare each fingerprint with the key's owner (by telephone, in person) before relying on the key.  Import them into your key ring?") \
  X(IDS_IMPORT_FILE_KEY, 1503, "%s, key ID %s\nFingerprint %s") \
  X(IDS_LOOK_ALIKE_ID, 1504, "'%s' looks like '%s', a key already in your ring: the two user IDs differ only in letter case, spaces or characters that do not show.  Someone may be pretending to be %s: compare the fingerprint with its owner before using the key.") \
  X(IDS_CLIPBOARD_CLEARED_SOON, 1505, "The decrypted text will be taken off the clipboard in a minute, unless something else is copied first.") \
  X(IDS_TOO_FEW_ITERATIONS, 1550, "The secret key file is damaged: its passphrase protection has fewer than 100,000 iterations, which no copy of Vaultwing writes.  It has been left as it is.") \
  X(IDS_KEY_FILE_STRENGTHENED, 1551, "The secret key file %s was protected with only %s iterations, which makes a passphrase cheap to guess.  It has been written again with 600,000, under the same passphrase.") \
  X(IDS_KEY_FILE_NOT_STRENGTHENED, 1552, "The secret key file %s is protected with only %s iterations.  It could not be written again with 600,000, so it stays as it was; the key is in use all the same.  The system says: %s") \
  X(IDS_PASSPHRASE_TOO_LONG, 1553, "This passphrase is too long: a passphrase has at most 1024 bytes in UTF-8, which is 1024 characters of plain English and at least 256 of any script.") \
  X(IDS_PASSPHRASE_NOT_TEXT, 1554, "A passphrase must be text in UTF-8, without NUL characters.") \
  X(IDS_HOTKEY_TAKEN, 1600, "The hotkey %s is taken by another program, so it does nothing in Vaultwing.  Choose another one under Settings in the tray menu.") \
  X(IDS_HOTKEYS_TAKEN, 1601, "The hotkeys %s and %s are taken by other programs, so they do nothing in Vaultwing.  Choose others under Settings in the tray menu.") \
  X(IDS_HOTKEYS_SAME, 1602, "Encrypt and Decrypt need two different hotkeys.") \
  X(IDS_NOTHING_TO_ENCRYPT, 1630, "There is no text to encrypt here.  Click into the box where you write, type the message, then press the Encrypt hotkey.") \
  X(IDS_ALREADY_ENCRYPTED, 1632, "This text already is an encrypted message, so it has been left as it is.") \
  X(IDS_MENU_NOT_IN_FRONT, 1633, "Windows did not let Vaultwing bring its key menu to the front, so the keyboard could not reach it and nothing has been changed.  Press the Encrypt hotkey again.") \
  X(IDS_TARGET_NOT_IN_FRONT, 1634, "Windows did not let Vaultwing give the keyboard back to the window you were writing in, so the message has not been written there.  Press the Encrypt hotkey again.") \
  X(IDS_CONSOLE_LEFT_OUT, 1635, "This is a console or terminal window, where Ctrl+C stops a program, so Vaultwing types nothing into it.  Copy the text, choose Encrypt Clipboard from the tray menu, and paste the result.") \
  X(IDS_KEYS_STILL_HELD, 1636, "The hotkey's keys were still held down a second later, so nothing has been copied or changed.  Press the hotkey and let go of it.") \
  X(IDS_CLIPBOARD_NOT_PUT_BACK, 1637, "The window did not take the message from the clipboard within two seconds, so it stays there, and what you had copied was not put back: that could have pasted it into the chat.  If the message is missing, press Ctrl+V.") \
  X(IDS_CLIPBOARD_HISTORY_ON, 1638, "Windows clipboard history is on, and it may keep the text that Vaultwing had this window copy to encrypt it.  Delete it there with Windows+V, or turn clipboard history off in Windows' settings.") \
  X(IDS_CLIPBOARD_BUSY, 1639, "Another program held the clipboard, so nothing has been copied or changed.  Press the hotkey again.") \
  X(IDS_KEYS_NOT_TAKEN, 1640, "Windows did not pass Vaultwing's keystrokes to this window (it may run with more rights than Vaultwing), so nothing has been changed.") \
  X(IDS_CLIPBOARD_NOT_RESTORED, 1641, "Another program held the clipboard, so what you had copied could not be put back, and the text copied from this window may still be there.  Nothing has been encrypted.") \
  X(IDS_WINDOW_CHANGED, 1642, "Another window came to the front before Vaultwing could copy the text, so nothing has been copied or changed.  Press the hotkey again.") \
  X(IDS_READ_MENU_NOT_IN_FRONT, 1643, "Windows did not let Vaultwing bring its key menu to the front, so the keyboard could not reach it and nothing has been read.  Press the Decrypt hotkey again.") \
  X(IDS_READING_CAPTION, 1670, "Message from %s") \
  X(IDS_READING_CAPTION_MANY, 1671, "%s messages from %s") \
  X(IDS_READING_SENDER, 1672, "Key ID %s, written %s UTC") \
  X(IDS_READING_OLDER, 1673, "Older format: not authenticated") \
  X(IDS_READING_HEADER, 1674, "%s, key ID %s, written %s UTC:") \
  X(IDS_READING_HEADER_OLDER, 1675, "%s, older format: not authenticated:") \
  X(IDS_READING_MANY, 1676, "%s messages, each below the line that names its sender") \
  X(IDS_NO_MESSAGE_SELECTED, 1677, "The selected text holds no encrypted message.  Select the whole message (the names and times around it may come along), then press the Decrypt hotkey again.") \
  X(IDS_NO_MESSAGE_ON_CLIPBOARD, 1678, "Nothing is selected here, and the clipboard holds no encrypted message.  Select the message, or copy it, then press the Decrypt hotkey again.") \
  X(IDS_SELECTION_NOT_ANSWERING, 1679, "The window with the selected text is not answering, so nothing has been read from it.  Try again once it answers.") \
  X(IDS_SOME_NOT_OPENED, 1680, "%s of the %s messages could not be opened: %s")

#ifndef RC_INVOKED
enum StringId {
#define VWG_STRING_ID(name, id, text) name = id,
  VWG_STRING_TABLE(VWG_STRING_ID)
#undef VWG_STRING_ID
};

// The text of a string-table entry, for code that runs without the program's
// resources (the key files, the command-line companion); "" for an unknown id.
inline const char* StringText(int id) {
  switch (id) {
#define VWG_STRING_CASE(name, id, text) \
  case id:                              \
    return text;
    VWG_STRING_TABLE(VWG_STRING_CASE)
#undef VWG_STRING_CASE
  }
  return "";
}
#endif

#endif
