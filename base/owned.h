// One small owner per kind of handle: movable, not copyable, freed exactly
// once. Traits names the handle type, its empty value and how it is freed,
// so that kinds whose "none" is not null (a file descriptor of -1,
// INVALID_HANDLE_VALUE for files and searches) fit as well as the null-based
// ones; win/handles.h gives the Win32 kinds their names.
#pragma once

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  Owned(Owned&& other) noexcept : h_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Empty(); }
  Handle release() {
    const Handle h = h_;
    h_ = Traits::Empty();
    return h;
  }
  void reset(Handle h = Traits::Empty()) {
    if (*this) Traits::Close(h_);
    h_ = h;
  }
  // For a call that hands a new handle back through a pointer (BCrypt's
  // Open and Create calls); what was held before is freed first.
  Handle* put() {
    reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Empty();
};

// The common kind: empty is null, and one call frees it.
template <typename H, auto Free>
struct NullIsEmpty {
  using Handle = H;
  static constexpr H Empty() { return nullptr; }
  static void Close(H h) { Free(h); }
};

// A kind whose empty value is not null: EmptyValue gives it (a function,
// as INVALID_HANDLE_VALUE is no constant a template may take).
template <typename H, H (*EmptyValue)(), auto Free>
struct EmptyIs {
  using Handle = H;
  static H Empty() { return EmptyValue(); }
  static void Close(H h) { Free(h); }
};
