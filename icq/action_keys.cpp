#include "icq/action_keys.h"

#include "icq/process_state.h"

ActionKeys HandedActionKeys;

void SetActionKeys(const ActionKeys& keys) { HandedActionKeys = keys; }

const ActionKeys& CurrentActionKeys() { return HandedActionKeys; }
