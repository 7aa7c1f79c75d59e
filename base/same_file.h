// Whether two paths name one file: a key pair written to one file would
// leave only its second half, and the secret key would be lost.
#pragma once

// True when a and b name the same file, existing or not: the same file on
// the same device where both exist (hard links and other spellings
// included), else the same full path (on Windows compared without regard to
// case, the way its file systems compare names).
bool IsSameFile(const char* a, const char* b);
