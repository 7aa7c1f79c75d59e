#include "icq/action_keys.h"

namespace {

ActionKeys Keys;

}  // namespace

void SetActionKeys(const ActionKeys& keys) { Keys = keys; }

const ActionKeys& CurrentActionKeys() { return Keys; }

bool CompleteOwnStrongKey(const uint16_t* secret, PublicKeyRing& ring) {
  return ring.strong[0].present || StrongKeyOf(secret, ring.strong[0]);
}
