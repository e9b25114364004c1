#pragma once
// Owners of the Win32 handles the stub uses.

#include <windows.h>

#include "host/unique_handle.h"

// Files and find searches fail with INVALID_HANDLE_VALUE; processes, threads and
// libraries with a null handle.
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value h) { CloseHandle(h); }
};
struct KernelHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return nullptr; }
  static void Close(Value h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value h) { FindClose(h); }
};
struct LibraryTraits {
  using Value = HMODULE;
  static Value Invalid() { return nullptr; }
  static void Close(Value h) { FreeLibrary(h); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using Library = UniqueHandle<LibraryTraits>;

// The two handles CreateProcessA hands back.
struct ProcessHandles {
  KernelHandle process;
  KernelHandle thread;

  explicit ProcessHandles(const PROCESS_INFORMATION& info)
      : process(info.hProcess), thread(info.hThread) {}
};
