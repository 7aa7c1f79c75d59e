// vwg's command line (ParseOptions): the input cut at NUL bytes into
// arguments. Parsing either succeeds with a command (or --help) or gives a
// reason; a ring index is never negative unless unset.
#include <string>
#include <vector>

#include "cli/options.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::vector<std::string> args = {"vwg"};
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\0') {
      args.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  if (size > 0) args.push_back(current);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  Options o;
  std::string error;
  const bool ok = ParseOptions(static_cast<int>(args.size()), argv.data(), o, error);
  if (ok) {
    FUZZ_CHECK(o.help || o.command != Command::kNone);
    FUZZ_CHECK(o.keyIndex >= -1 && o.keyIndex <= 9999);
    FUZZ_CHECK(!o.hasNewId || (!o.newId.empty() && o.newId.size() <= 20));
  } else {
    FUZZ_CHECK(!error.empty());
  }
  return 0;
}
