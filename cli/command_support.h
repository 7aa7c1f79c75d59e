// What several vwg commands share: the key files, the choice of a key in the
// ring, and whole-input and whole-output transfers. Every failure is
// reported as fatal and ends vwg there.
#pragma once

#include <string>
#include <string_view>

#include "cli/options.h"
#include "keys/key_files.h"

// The fingerprint of key with its strong key (keys/fingerprint.h).
std::string FingerprintText(const PublicKeyRecord& key, const StrongKey& strong);

// Ends vwg with the report of a failed key-file operation on path; kOk
// passes.
void ExitOnFailure(KeyFileStatus status, const std::string& path);

// The ring at path.
PublicKeyRing LoadRing(const std::string& path);

// The ring index chosen by --to/--from (the first exact match of the user ID)
// or by the index options (defaultIndex when neither was given).
int ChooseKey(const PublicKeyRing& ring, const Options& o, int defaultIndex);

// All bytes of the file, or of standard input for "-" or an empty name,
// read without leaving copies behind (keys/wiped_text.h): the caller wipes
// the result when it holds a plain message.
std::string ReadInput(const std::string& file);

// Writes all of data to standard output, unbuffered, and flushes it. Once
// per run: it must be the first output there.
void WriteOutput(std::string_view data);
