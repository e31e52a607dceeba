// UniqueResource: the one owner of a Windows handle-like resource, closed when the owner goes.
#pragma once

#include <windows.h>

#include <cstdio>
#include <utility>

namespace orvane {

// Traits give the resource's type, its empty value and how it is closed.
template <class Traits>
class UniqueResource {
public:
  using Type = typename Traits::Type;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Type value) noexcept : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueResource() { Reset(); }

  Type Get() const noexcept { return value_; }
  bool IsValid() const noexcept { return Traits::IsValid(value_); }
  explicit operator bool() const noexcept { return IsValid(); }

  // Closes what is held and takes `value` instead. The thread's last error stays as it was, so
  // that a failure read after an owner went out of scope is the failure, not the close's.
  void Reset(Type value = Traits::Empty()) noexcept {
    const Type old = std::exchange(value_, value);
    if (!Traits::IsValid(old)) return;
    const DWORD lastError = GetLastError();
    Traits::Close(old);
    SetLastError(lastError);
  }
  // Gives up ownership without closing.
  Type Release() noexcept { return std::exchange(value_, Traits::Empty()); }
  // Address for an out-parameter; anything held is closed first.
  Type* Receive() noexcept {
    Reset();
    return &value_;
  }

private:
  Type value_ = Traits::Empty();
};

namespace resource_traits {

// Resources whose empty value is the type's zero (a null pointer, a zero cookie).
template <class T>
struct ZeroIsEmpty {
  using Type = T;
  static Type Empty() noexcept { return Type{}; }
  static bool IsValid(Type value) noexcept { return value != Type{}; }
};

// Kernel handles: processes, threads, events, mutexes, snapshots. Both null and
// INVALID_HANDLE_VALUE mean "none", since Windows uses either for a failed open.
struct KernelHandle : ZeroIsEmpty<HANDLE> {
  static bool IsValid(Type value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { CloseHandle(value); }
};

struct FindHandle : KernelHandle {
  static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { FindClose(value); }
};

struct RegistryKey : ZeroIsEmpty<HKEY> {
  static void Close(Type value) noexcept { RegCloseKey(value); }
};

struct LocalMemory : ZeroIsEmpty<HLOCAL> {
  static void Close(Type value) noexcept { LocalFree(value); }
};

// A C run time file, as the log is written.
struct CFile : ZeroIsEmpty<std::FILE*> {
  static void Close(Type value) noexcept { std::fclose(value); }
};

}  // namespace resource_traits

using UniqueHandle = UniqueResource<resource_traits::KernelHandle>;
using UniqueRegistryKey = UniqueResource<resource_traits::RegistryKey>;
using UniqueLocalMemory = UniqueResource<resource_traits::LocalMemory>;
using UniqueFindHandle = UniqueResource<resource_traits::FindHandle>;
using UniqueCFile = UniqueResource<resource_traits::CFile>;

}  // namespace orvane
