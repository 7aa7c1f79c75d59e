// A test hook, compiled into every vwg and idle unless asked: whether any
// copy of a given secret is left in vwg's memory as it ends. Only a look
// from inside can tell, since a process that holds a secret is made
// undumpable, and so unreadable from outside.
#pragma once

// The status vwg ends with when the hook found a secret, or could not look.
constexpr int kSecretsLeftStatus = 99;

// With the environment variable VWG_TEST_SECRETS_FILE naming a file of
// byte strings in hexadecimal, one a line, looks for each of them in every
// readable part of vwg's memory, says on standard error what it found, and
// returns kSecretsLeftStatus when one is there; otherwise returns status.
// Call it last, once everything the run held is gone: a run that ends
// anywhere else never says a word. Natively only: on Windows it returns
// status.
int CheckSecretsLeft(int status);
