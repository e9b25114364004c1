#include "host/launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string_view>

#include "host/command_line.h"
#include "host/path_text.h"
#include "host/system_library.h"
#include "host/win32_handles.h"

namespace {

bool StartDirectly(char* command_line, const char* folder, WORD show, DWORD creation, unsigned flags) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, creation, nullptr, folder,
                      &startup, &info))
    return false;
  ProcessHandles process(info);
  process.thread.reset();
  if (flags & LaunchWait) WaitForSingleObject(process.process.get(), INFINITE);
  return true;
}

// shell32 is loaded only for this fallback, and only from the system folder.
bool StartThroughShell(const char* program, const char* parameters, const char* folder, int show,
                       unsigned flags) {
  Library shell = LoadSystemLibrary("shell32.dll");
  if (!shell) return false;
  using ShellExecuteExFn = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
  auto shell_execute = reinterpret_cast<ShellExecuteExFn>(
      reinterpret_cast<void*>(GetProcAddress(shell.get(), "ShellExecuteExA")));
  if (!shell_execute) return false;

  PathText own_folder;
  if (!folder && own_folder.Assign(ProgramFolder(program)) && !own_folder.empty())
    folder = own_folder.c_str();

  SHELLEXECUTEINFOA request = {};
  request.cbSize = sizeof(request);
  request.fMask = SEE_MASK_NOCLOSEPROCESS;
  request.lpVerb = "Open";
  request.lpFile = program;
  request.lpParameters = parameters;
  request.lpDirectory = folder;
  request.nShow = show;
  if (!shell_execute(&request)) return false;
  KernelHandle process(request.hProcess);
  if (process && (flags & LaunchWait)) WaitForSingleObject(process.get(), INFINITE);
  return true;
}

}  // namespace

int LaunchProgram(const char* program, const char* parameters, const char* working_folder,
                  unsigned flags) {
  if (!program) program = "";
  if (!parameters) parameters = "";
  const bool hide = flags & LaunchHide;
  const WORD show = hide ? SW_HIDE : SW_SHOWNORMAL;
  const DWORD creation = NORMAL_PRIORITY_CLASS | (hide ? DETACHED_PROCESS : 0);
  const char* folder = working_folder && *working_folder ? working_folder : nullptr;

  HeapBlock command_line(
      static_cast<char*>(std::malloc(CommandLineCapacity(program, parameters))));
  if (!command_line) return 0;
  BuildCommandLine(program, parameters, command_line.get());

  if (StartDirectly(command_line.get(), folder, show, creation, flags)) return 1;
  return StartThroughShell(program, parameters, folder, show, flags) ? 1 : 0;
}
