// Holds a file open the way another program might (the simulator, a scanner, a C runtime reader),
// for the end-to-end tests of the track file rewrite.
//   holder <file> <sharing: rw | none> <milliseconds, 0 = until ended> <ready file>
// Once the file is open it creates the ready file; when it lets go it exits with 0, or with 1 if
// it could not open the file.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    const DWORD share = std::wcscmp(argv[2], L"rw") == 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    const DWORD hold = static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10));
    HANDLE file = CreateFileW(argv[1], GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    Sleep(hold == 0 ? INFINITE : hold);
    CloseHandle(file);
    return 0;
}
