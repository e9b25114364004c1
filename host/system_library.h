#pragma once
// Loading DLLs from the system folder only. The stub is started from download
// folders, where anyone may have dropped a DLL of a well-known name.

#include "host/win32_handles.h"

// Restricts the process's DLL search to the system folder, first thing at
// entry. SetDefaultDllDirectories is looked up at run time: it is missing on
// systems without the update that brought it, and the stub must start there too.
void RestrictDllSearchToSystem();

// Loads `name` (a file name, no folder) from the system folder.
Library LoadSystemLibrary(const char* name);
