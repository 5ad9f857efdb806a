// UTF-8, as the game keeps every text and name, to Windows' UTF-16 and back.
#pragma once
#include <windows.h>

#include <string>

namespace plat::win {

std::wstring Wide(const std::string& utf8);
std::string Narrow(const wchar_t* utf16, int n = -1);
// The system's words for an error code, in UTF-8.
std::string Error(DWORD code);

}  // namespace plat::win
