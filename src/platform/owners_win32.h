// One move-only owner per kind of platform handle; each knows its own invalid
// value and closing call, so nothing is closed by hand on an early return.
#pragma once

#include <windows.h>

template <typename Traits>
class UniqueResource {
 public:
  using Value = typename Traits::Value;

  UniqueResource() = default;
  explicit UniqueResource(Value value) : value_(value) {}
  ~UniqueResource() { Reset(); }
  UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Value Get() const { return value_; }
  bool Valid() const { return value_ != Traits::Invalid(); }
  Value Release() {
    const Value value = value_;
    value_ = Traits::Invalid();
    return value;
  }
  void Reset(Value value = Traits::Invalid()) {
    if (Valid()) Traits::Close(value_);
    value_ = value;
  }
  // For calls that hand back a new handle through a pointer.
  Value* Receive() {
    Reset();
    return &value_;
  }

 private:
  Value value_ = Traits::Invalid();
};

// Files opened with CreateFileA: invalid is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { CloseHandle(value); }
};
using FileHandle = UniqueResource<FileHandleTraits>;

// Processes, threads, mutexes and the like: invalid is NULL.
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { CloseHandle(value); }
};
using KernelHandle = UniqueResource<KernelHandleTraits>;

struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { FindClose(value); }
};
using FindHandle = UniqueResource<FindHandleTraits>;

struct WindowTraits {
  using Value = HWND;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DestroyWindow(value); }
};
using WindowOwner = UniqueResource<WindowTraits>;

// Fonts, brushes and other GDI objects created by the program.
struct GdiObjectTraits {
  using Value = HGDIOBJ;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DeleteObject(value); }
};
using GdiObject = UniqueResource<GdiObjectTraits>;

struct RegistryKeyTraits {
  using Value = HKEY;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { RegCloseKey(value); }
};
using RegistryKey = UniqueResource<RegistryKeyTraits>;
