#include "icq/action_keys.h"

namespace {

ActionKeys Keys;

}  // namespace

void SetActionKeys(const ActionKeys& keys) { Keys = keys; }

const ActionKeys& CurrentActionKeys() { return Keys; }
