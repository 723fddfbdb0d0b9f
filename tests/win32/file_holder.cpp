// Holds a file open without sharing it, as a virus scanner, an indexer or a
// backup tool does for a moment:
//   file_holder PATH MILLISECONDS
// opens PATH (waiting while someone else still has it open) and keeps it
// that long from then on. Exit code 0 when it held the file, 1 when it
// never could.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const DWORD hold = std::strtoul(argv[2], nullptr, 10);
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int i = 0; i < 1000 && file == INVALID_HANDLE_VALUE; ++i) {
    file = CreateFileA(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  Sleep(hold);
  CloseHandle(file);
  return 0;
}
