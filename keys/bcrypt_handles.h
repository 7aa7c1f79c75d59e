// Owners of BCrypt's handles, so that a provider, hash or key opened by a
// primitive is closed on every path out of it. Windows only.
#pragma once

#include <windows.h>
#include <bcrypt.h>

template <typename H, auto Close>
class BcryptHandle {
 public:
  BcryptHandle() = default;
  BcryptHandle(const BcryptHandle&) = delete;
  BcryptHandle& operator=(const BcryptHandle&) = delete;
  ~BcryptHandle() {
    if (h_) Close(h_);
  }
  H get() const { return h_; }
  // For the Open/Create call that writes the handle.
  H* put() { return &h_; }

 private:
  H h_ = nullptr;
};

inline void CloseAlgorithm(BCRYPT_ALG_HANDLE h) { BCryptCloseAlgorithmProvider(h, 0); }

using BcryptAlgorithm = BcryptHandle<BCRYPT_ALG_HANDLE, CloseAlgorithm>;
using BcryptHash = BcryptHandle<BCRYPT_HASH_HANDLE, BCryptDestroyHash>;
using BcryptKey = BcryptHandle<BCRYPT_KEY_HANDLE, BCryptDestroyKey>;

// BCrypt reports an NTSTATUS; negative values are failures.
inline bool BcryptOk(NTSTATUS status) { return status >= 0; }
