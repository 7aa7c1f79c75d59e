#include "icq/write_trust.h"

bool MayWriteUnasked(const TokenFacts& own, const TokenFacts& dialog) {
  return own.known && dialog.known && !dialog.appContainer && dialog.integrity >= own.integrity;
}
