// Loads a DLL by its bare name, the way a program that trusts the search order
// would: proves that a canary planted beside a program is found and runs.

#include <windows.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  return LoadLibraryA(argv[1]) ? 0 : 1;
}
