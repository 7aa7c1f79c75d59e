// What several vwg commands share: the ring, the choice of a key in it, and
// whole-input and whole-output transfers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "keys/key_records.h"

// The ring at PublicKeyPath into a buffer of 1000 records; returns the count.
int LoadRing(std::vector<PublicKeyRecord>& ring);

// The ring index chosen by --to/--from (the first exact match of the user ID)
// or by the index options (defaultIndex when neither was given).
int ChooseKey(const std::vector<PublicKeyRecord>& ring, int count, const Options& o,
              int defaultIndex);

// All bytes of the file, or of standard input for "-" or an empty name.
std::string ReadInput(const std::string& file);

// Writes all of data to standard output and flushes it.
void WriteOutput(std::string_view data);
