// Fields of the game record at their declared widths. Every store is
// range-tested and every index bounds-tested: a breach is a fatal error that
// names the field, never a silent wrap.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace pk {

struct FatalError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fatal(const std::string& what);

template <typename Store, int64_t Lo, int64_t Hi>
class Checked {
 public:
  Checked() = default;
  Checked(int64_t v) { Put(v); }  // NOLINT: stores read like plain numbers
  Checked(const Checked&) = default;
  Checked& operator=(const Checked& o) { v_ = o.v_; return *this; }
  Checked& operator=(int64_t v) { Put(v); return *this; }
  operator int64_t() const { return v_; }  // NOLINT
  int64_t Get() const { return v_; }

  Checked& operator+=(int64_t d) { Put(int64_t(v_) + d); return *this; }
  Checked& operator-=(int64_t d) { Put(int64_t(v_) - d); return *this; }
  Checked& operator++() { return *this += 1; }
  Checked& operator--() { return *this -= 1; }

  void SetName(const char* n) { name_ = n; }
  static constexpr int64_t kLo = Lo, kHi = Hi;

 private:
  // The check inline, the message out of the way: stores are everywhere.
  void Put(int64_t v) {
    if (v < Lo || v > Hi) [[unlikely]]
      Overflow(v);
    v_ = Store(v);
  }
  [[noreturn, gnu::noinline, gnu::cold]] void Overflow(int64_t v) const {
    Fatal(std::string("overflow: ") + (name_ ? name_ : "value") + " = " + std::to_string(v) +
          " outside " + std::to_string(Lo) + ".." + std::to_string(Hi));
  }
  Store v_{};
  const char* name_ = nullptr;
};

using Byte = Checked<uint8_t, 0, 255>;
using I16 = Checked<int16_t, -32768, 32767>;
using I32 = Checked<int32_t, INT32_MIN, INT32_MAX>;

template <typename T>
void NameIt(T& t, const char* n) {
  if constexpr (requires { t.SetName(n); }) t.SetName(n);
}

// Array with bounds 0..N0-1 (and 0..N1-1, 0..N2-1), indexed like the record's
// arrays: A(i), A(i, j), A(i, j, k).
template <typename T, int N0, int N1 = 1, int N2 = 1>
class Arr {
 public:
  // The record names its arrays and their elements (Form1::EachField).
  void SetName(const char* name) {
    name_ = name;
    for (auto& e : d_) NameIt(e, name);
  }
  T& operator()(int64_t i) { static_assert(N1 == 1); return d_[Idx(i, 0, 0)]; }
  T& operator()(int64_t i, int64_t j) { static_assert(N2 == 1); return d_[Idx(i, j, 0)]; }
  T& operator()(int64_t i, int64_t j, int64_t k) { return d_[Idx(i, j, k)]; }
  const T& operator()(int64_t i) const { return d_[Idx(i, 0, 0)]; }
  const T& operator()(int64_t i, int64_t j) const { return d_[Idx(i, j, 0)]; }
  const T& operator()(int64_t i, int64_t j, int64_t k) const { return d_[Idx(i, j, k)]; }
  // Every element, first index fastest: for the digest and the dump.
  T* begin() { return d_; }
  T* end() { return d_ + N0 * N1 * N2; }
  const T* begin() const { return d_; }
  const T* end() const { return d_ + N0 * N1 * N2; }

 private:
  int64_t Idx(int64_t i, int64_t j, int64_t k) const {
    // One unsigned comparison per index also catches the negative ones.
    if (uint64_t(i) >= uint64_t(N0) || uint64_t(j) >= uint64_t(N1) || uint64_t(k) >= uint64_t(N2)) [[unlikely]]
      OutOfBounds(i, j, k);
    return i + int64_t(N0) * (j + int64_t(N1) * k);  // first index fastest
  }
  [[noreturn, gnu::noinline, gnu::cold]] void OutOfBounds(int64_t i, int64_t j, int64_t k) const {
    Fatal(std::string("index out of bounds: ") + name_ + "(" + std::to_string(i) + ", " +
          std::to_string(j) + ", " + std::to_string(k) + ")");
  }
  T d_[N0 * N1 * N2]{};
  const char* name_ = "array";
};

}  // namespace pk
