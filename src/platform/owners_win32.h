// One move-only owner per kind of platform handle; each knows its own invalid
// value and closing call, so nothing is closed by hand on an early return.
// Closing keeps the caller's last error, which a failed call before it set.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>
#include <winsvc.h>

#include "platform/dll_search_win32.h"

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
    if (Valid()) {
      const DWORD error = GetLastError();
      Traits::Close(value_);
      SetLastError(error);
    }
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

// An icon loaded at a size of the program's choosing.
struct IconTraits {
  using Value = HICON;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { DestroyIcon(value); }
};
using IconOwner = UniqueResource<IconTraits>;

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

// The service control manager. Its closing call is the program's own, so that
// tests can stand in for the manager (privilege_calls_win32.cpp).
struct ServiceManagerTraits {
  using Value = SC_HANDLE;
  static Value Invalid() { return nullptr; }
  static void Close(Value value);
};
using ServiceManager = UniqueResource<ServiceManagerTraits>;

// The thread's COM apartment, left when it was entered.
struct ComApartmentTraits {
  using Value = bool;
  static Value Invalid() { return false; }
  static void Close(Value) {
    if (const auto leave = Late<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize")) leave();
  }
};
using ComApartment = UniqueResource<ComApartmentTraits>;

// A wide string of the automation kind.
struct BstrTraits {
  using Value = BSTR;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) {
    if (const auto free = Late<decltype(&SysFreeString)>("oleaut32.dll", "SysFreeString")) free(value);
  }
};
using Bstr = UniqueResource<BstrTraits>;

// Memory that a COM call hands over, such as a known folder's path.
struct CoTaskMemoryTraits {
  using Value = void*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) {
    if (const auto free = Late<decltype(&CoTaskMemFree)>("ole32.dll", "CoTaskMemFree")) free(value);
  }
};
using CoTaskMemory = UniqueResource<CoTaskMemoryTraits>;

// A reference to a COM object, released once.
template <typename Interface>
struct ComReferenceTraits {
  using Value = Interface*;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { value->Release(); }
};
template <typename Interface>
using ComReference = UniqueResource<ComReferenceTraits<Interface>>;
