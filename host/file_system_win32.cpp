#include "host/file_system.h"

#include <windows.h>

#include <string_view>

#include "host/system_library.h"
#include "host/win32_handles.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string_view Text(const char* text) { return text ? std::string_view(text) : std::string_view(); }

}  // namespace

void GetTempFolder(PathText& folder) {
  DWORD length = GetTempPathA(PathText::capacity(), folder.buffer());
  if (length == 0 || !folder.Adopt(length)) return;

  Library kernel = LoadSystemLibrary("Kernel32.DLL");
  if (!kernel) return;
  using GetLongPathNameFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
  auto get_long = reinterpret_cast<GetLongPathNameFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel.get(), "GetLongPathNameA")));
  if (!get_long) return;
  PathText long_form;
  length = get_long(folder.c_str(), long_form.buffer(), PathText::capacity());
  if (length == 0) {
    folder.Assign({});
    return;
  }
  // A long form that does not fit, or that the ANSI code page cannot spell
  // (it then holds "?"), is no path to use: keep the form GetTempPathA gave.
  if (long_form.Adopt(length) && long_form.view().find('?') == std::string_view::npos)
    folder = long_form;
}

void OwnExecutablePath(PathText& path) {
  DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path.buffer(), PathText::capacity());
  // A length of the whole buffer means the path was cut.
  if (length >= PathText::capacity() || !path.Adopt(length)) path.Assign({});
}

std::int64_t ProbePath(const char* path) {
  PathText copy;
  if (Text(path).empty() || !copy.Assign(path)) return ProbeAbsent;

  if ((copy.size() == 2 || copy.size() == 3) && copy.c_str()[1] == ':') {
    if (copy.size() == 2) copy.Append('\\');
    return GetDriveTypeA(copy.c_str()) > DRIVE_NO_ROOT_DIR ? ProbeFolder : ProbeAbsent;
  }

  if (copy.back() == '\\') copy.Truncate(copy.size() - 1);
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(copy.c_str(), &entry));
  if (!search) return ProbeAbsent;
  if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ProbeFolder;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) |
                                   entry.nFileSizeLow);
}

int DeleteFileAt(const char* path) { return DeleteFileA(path); }

int CreateFolder(const char* path) {
  PathText copy;
  if (!path || !copy.Assign(path)) return 0;
  while (!copy.empty() && (copy.back() == ' ' || IsSeparator(copy.back())))
    copy.Truncate(copy.size() - 1);
  return CreateDirectoryA(copy.c_str(), nullptr);
}

int DeleteTree(const char* folder, const char* pattern, unsigned flags) {
  PathText base;
  if (Text(folder).empty() || !base.Assign(folder)) return 0;
  if (base.back() != '\\' && !base.Append('\\')) return 0;
  std::string_view selection = Text(pattern).empty() ? std::string_view("*.*") : Text(pattern);

  PathText query;
  if (!JoinPath(query, base.view(), selection)) return 0;
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(query.c_str(), &entry));
  if (!search) return 0;
  do {
    std::string_view name(entry.cFileName);
    PathText full;
    if (!JoinPath(full, base.view(), name)) continue;  // would not name this entry
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(flags & TreeRecursive) || name == "." || name == "..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A junction or symbolic link: remove the link, never what it points
        // to; its attributes are left alone, as changing them may reach the target.
        if (!RemoveDirectoryA(full.c_str())) DeleteFileA(full.c_str());
      } else {
        DeleteTree(full.c_str(), selection.data(), flags);
      }
      continue;
    }
    if (flags & TreeForce) SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(full.c_str());
  } while (FindNextFileA(search.get(), &entry));
  search.reset();

  if (flags & TreeForce) SetFileAttributesA(base.c_str(), FILE_ATTRIBUTE_NORMAL);
  return RemoveDirectoryA(base.c_str());
}
