// Owners of BCrypt's handles, so that a provider, hash or key opened by a
// primitive is closed on every path out of it. Windows only.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include "base/owned.h"

inline void CloseAlgorithm(BCRYPT_ALG_HANDLE h) { BCryptCloseAlgorithmProvider(h, 0); }

using BcryptAlgorithm = Owned<NullIsEmpty<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
using BcryptHash = Owned<NullIsEmpty<BCRYPT_HASH_HANDLE, BCryptDestroyHash>>;
using BcryptKey = Owned<NullIsEmpty<BCRYPT_KEY_HANDLE, BCryptDestroyKey>>;

// BCrypt reports an NTSTATUS; negative values are failures.
inline bool BcryptOk(NTSTATUS status) { return status >= 0; }
