// The tray menu's clipboard commands, which make the program useful with any
// messenger, mail program or web page: the text on the clipboard is
// encrypted for, or decrypted from, a key the user picks from the same menu
// as the dialog buttons, and the result replaces it on the clipboard.
#pragma once

// Encrypts the clipboard's text for the chosen recipient.
void EncryptClipboard();

// Decrypts the clipboard's text from the chosen sender: blanks are skipped,
// the padding at the end is trimmed, and the plain text is kept out of the
// system's clipboard history and cloud clipboard. A text that holds no
// encrypted block is left on the clipboard as it is, with a notice.
void DecryptClipboard();
