// Stands in for a browser in the hyperlink tests: started as
//   hyperlink_probe.exe --out <file> <address>
// it writes the address it received, as UTF-16, to <file> (written under a temporary name, then renamed,
// so the test never reads a half-written file).
#include <windows.h>

#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 || std::wstring(argv[1]) != L"--out") return 2;
  const std::wstring target = argv[2];
  const std::wstring partial = target + L".part";
  HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  const std::wstring address = argv[3];
  DWORD written = 0;
  const DWORD bytes = static_cast<DWORD>(address.size() * sizeof(wchar_t));
  const BOOL ok = ::WriteFile(file, address.data(), bytes, &written, nullptr);
  ::CloseHandle(file);
  if (!ok || written != bytes) return 4;
  return ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
