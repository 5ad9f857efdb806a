// Files on Windows, through the wide-character API: a name in Japanese (a
// user folder, a replay) is a UTF-8 string in the game and UTF-16 here.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/win32/Wide.h"

namespace plat {
namespace {

std::string Megabytes(size_t n) {
  return n >= (1u << 20) ? std::to_string(n >> 20) + " MB" : std::to_string(n) + " bytes";
}

// Opened for reading, folders included (to tell them), never waiting; only
// a file on a disk is kept: CON, NUL, COM1 or a pipe are turned away.
HANDLE OpenRegular(const std::string& path, FileRead& r) {
  const HANDLE h = CreateFileW(win::Wide(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    r.missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
    r.fault = FileRead::CannotOpen;
    r.why = win::Error(err);
    return h;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const bool folder = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    r.fault = folder ? FileRead::Folder : FileRead::NotRegular;
    r.why = folder ? "it is a folder" : "it is no regular file (a pipe or a device)";
    CloseHandle(h);
    return INVALID_HANDLE_VALUE;
  }
  r.size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return h;
}

bool ReadUpTo(HANDLE h, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  size_t got = 0;
  while (got < n) {
    DWORD k = 0;
    const DWORD ask = DWORD(std::min<size_t>(n - got, 1u << 30));
    if (!ReadFile(h, out.data() + got, ask, &k, nullptr)) return false;
    if (k == 0) break;
    got += k;
  }
  out.resize(got);
  return true;
}

bool WriteAll(HANDLE h, const void* data, size_t size) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t done = 0; done < size;) {
    DWORD n = 0;
    const DWORD ask = DWORD(std::min<size_t>(size - done, 1u << 30));
    if (!WriteFile(h, p + done, ask, &n, nullptr) || n == 0) return false;
    done += n;
  }
  return true;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path, size_t limit) {
  FileRead r;
  const HANDLE h = OpenRegular(path, r);
  if (h == INVALID_HANDLE_VALUE) return r;
  // One byte more than it claims tells a file that grew past the limit meanwhile.
  if (r.size > limit) r.why = "it is larger than " + Megabytes(limit), r.fault = FileRead::TooLarge;
  else if (!ReadUpTo(h, size_t(r.size) + 1, r.bytes)) r.why = win::Error(GetLastError()), r.fault = FileRead::CannotRead;
  else if (r.bytes.size() > limit) r.why = "it is larger than " + Megabytes(limit), r.fault = FileRead::TooLarge;
  else r.ok = true;
  if (!r.ok) r.bytes.clear();
  CloseHandle(h);
  return r;
}

std::vector<uint8_t> ReadFileHead(const std::string& path, size_t n) {
  FileRead r;
  const HANDLE h = OpenRegular(path, r);
  if (h == INVALID_HANDLE_VALUE) return {};
  if (!ReadUpTo(h, n, r.bytes)) r.bytes.clear();
  CloseHandle(h);
  return r.bytes;
}

FileOut::~FileOut() {
  if (handle_ != -1) CloseHandle(HANDLE(handle_));
}

bool FileOut::Create(const std::string& path, bool replace, std::string& why) {
  const std::wstring wide = win::Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  const bool there = attributes != INVALID_FILE_ATTRIBUTES;
  // No link is followed, no folder or device written into.
  if (there && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return why = "there is a symbolic link of that name", false;
  if (there && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return why = replace ? "Is a directory (it is a folder)" : "there is a folder of that name", false;
  if (there && !replace) return why = "there is a file of that name already", false;
  const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, replace ? OPEN_ALWAYS : CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return why = win::Error(GetLastError()), false;
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return why = "there is a device of that name", false;
  }
  // What was there is emptied by the first write, not here: a file given
  // up before it (Discard) leaves the old one whole.
  LARGE_INTEGER size{};
  empty_ = there && GetFileSizeEx(h, &size) && size.QuadPart > 0;
  handle_ = intptr_t(h);
  made_ = !replace;
  path_ = path;
  return true;
}

bool FileOut::Emptied(std::string& why) {
  if (!empty_) return true;
  // The file pointer stands at the start until the first write.
  if (!SetEndOfFile(HANDLE(handle_))) return why = "cannot empty it: " + win::Error(GetLastError()), false;
  empty_ = false;
  return true;
}

bool FileOut::Append(const std::string& path, int64_t keep, std::string& why) {
  const std::wstring wide = win::Wide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return why = win::Error(GetLastError()), false;
  if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return why = "it is no regular file", false;
  const HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return why = win::Error(GetLastError()), false;
  LARGE_INTEGER at;
  at.QuadPart = keep;
  if (GetFileType(h) != FILE_TYPE_DISK || !SetFilePointerEx(h, at, nullptr, FILE_BEGIN) || !SetEndOfFile(h)) {
    why = GetFileType(h) != FILE_TYPE_DISK ? "it is no regular file" : win::Error(GetLastError());
    CloseHandle(h);
    return false;
  }
  handle_ = intptr_t(h);
  made_ = empty_ = false;
  path_ = path;
  return true;
}

bool FileOut::Rewrite(const std::string& s, std::string& why) {
  if (handle_ == -1) return why = "the file is not open", false;
  if (!Emptied(why)) return false;
  LARGE_INTEGER start{}, back{};
  // In place, then back to where the writes go on.
  if (!SetFilePointerEx(HANDLE(handle_), start, &back, FILE_CURRENT) ||
      !SetFilePointerEx(HANDLE(handle_), start, nullptr, FILE_BEGIN) || !WriteAll(HANDLE(handle_), s.data(), s.size()) ||
      !SetFilePointerEx(HANDLE(handle_), back, nullptr, FILE_BEGIN))
    return why = win::Error(GetLastError()), false;
  return true;
}

bool FileOut::Write(const std::string& s, std::string& why) {
  if (handle_ == -1) return why = "the file is not open", false;
  if (!Emptied(why)) return false;
  return WriteAll(HANDLE(handle_), s.data(), s.size()) || (why = win::Error(GetLastError()), false);
}

bool FileOut::Sync(std::string& why) {
  if (handle_ == -1) return why = "the file is not open", false;
  if (FlushFileBuffers(HANDLE(handle_))) return true;
  const DWORD err = GetLastError();
  return err == ERROR_INVALID_HANDLE || err == ERROR_INVALID_FUNCTION || (why = win::Error(err), false);
}

void FileOut::Discard() {
  if (handle_ == -1) return;
  CloseHandle(HANDLE(handle_)), handle_ = -1;
  if (made_) DeleteFileW(win::Wide(path_).c_str());
}

FileWritten WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, bool replace) {
  FileWritten w;
  const size_t slash = path.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base.empty()) return w.why = "no file name", w;
  // A name of its own for every write, so two writers never meet.
  static std::atomic<unsigned> writes{0};
  std::string tmp;
  HANDLE h = INVALID_HANDLE_VALUE;
  DWORD err = 0;
  for (int tries = 0; h == INVALID_HANDLE_VALUE && tries < 100; ++tries) {
    tmp = dir + "\\." + base + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(writes++);
    h = CreateFileW(win::Wide(tmp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    err = GetLastError();
    if (h == INVALID_HANDLE_VALUE && err != ERROR_FILE_EXISTS) break;
  }
  if (h == INVALID_HANDLE_VALUE) return w.why = win::Error(err), w;
  err = WriteAll(h, bytes.data(), bytes.size()) && FlushFileBuffers(h) ? 0 : GetLastError();
  if (!CloseHandle(h) && !err) err = GetLastError();
  // Without replace, only onto a free name: the move itself refuses a taken one.
  if (!err && !MoveFileExW(win::Wide(tmp).c_str(), win::Wide(path).c_str(),
                           MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0)))
    err = GetLastError();
  if (err) {
    DeleteFileW(win::Wide(tmp).c_str());
    w.exists = err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS;
    w.why = win::Error(err);
    return w;
  }
  w.ok = true;
  return w;
}

}  // namespace plat
