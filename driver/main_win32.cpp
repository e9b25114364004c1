// The self-extractor's entry point and its whole run: claim a working folder,
// unpack the payload appended to this executable into it behind the progress
// window, run the setup program from there, wait for it, and remove the folder.

#include <windows.h>

#include "driver/progress_window.h"
#include "driver/wait_message.h"
#include "driver/working_folder.h"
#include "host/file_system.h"
#include "host/launcher.h"
#include "host/system_library.h"
#include "unpack/unpack.h"

namespace {

void RunSelfExtractor() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  InitWindowLayer(module);
  const char* message = WaitMessageFor(GetUserDefaultLangID());

  PathText temp_folder;
  GetTempFolder(temp_folder);
  SetOverallProgressCallback(OnUnpackProgress);

  // Without a folder of its own the run touches nothing: never the temporary
  // folder itself.
  PathText working_folder;
  if (!ClaimWorkingFolder(temp_folder.view(), working_folder)) return;
  if (!OpenProgressWindow("Morvel SFX", message)) return;

  PathText archive;
  OwnExecutablePath(archive);
  UnpackArchive(archive.c_str(), "*.*", working_folder.c_str(), UnpackFlat);

  SetProgressPosition(100);
  Sleep(500);
  HideProgressWindow();

  PathText setup_program;
  if (JoinPath(setup_program, working_folder.view(), "\\mrv.exe"))
    LaunchProgram(setup_program.c_str(), "", "", LaunchWait);
  DeleteTree(working_folder.c_str(), "*.*", TreeRecursive | TreeForce);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystem();
  RunSelfExtractor();
  CloseProgressWindow();
  ExitProcess(0);
}
