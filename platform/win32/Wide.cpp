#include "platform/win32/Wide.h"

namespace plat::win {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), n);
  return w;
}

std::string Narrow(const wchar_t* utf16, int n) {
  if (!utf16) return {};
  if (n < 0) n = int(wcslen(utf16));
  if (n == 0) return {};
  const int m = WideCharToMultiByte(CP_UTF8, 0, utf16, n, nullptr, 0, nullptr, nullptr);
  std::string s(size_t(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16, n, s.data(), m, nullptr, nullptr);
  return s;
}

std::string Error(DWORD code) {
  // Said as on Linux where the game's own words name the fault.
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return "No such file or directory";
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string s = n ? Narrow(text, int(n)) : "error " + std::to_string(code);
  LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' || s.back() == '.')) s.pop_back();
  return s;
}

}  // namespace plat::win
