// Files by their UTF-8 names, read and written the same careful way on every
// system: platform/posix/Files.cpp on Linux and in the page,
// platform/windows/Files.cpp (the wide-character API) on Windows.
//
// Reading a file the player may have put anything in its place: a folder, a
// named pipe, a device such as /dev/zero, a file of hundreds of megabytes.
// Only a regular file is read, opening never waits, and nothing beyond a
// limit is read; anything else is refused with a few words saying why.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace plat {

struct FileRead {
  enum Fault { Fine, CannotOpen, Folder, NotRegular, TooLarge, CannotRead };
  bool ok = false;
  bool missing = false;  // no such file (the others are there, but wrong)
  Fault fault = Fine;
  uint64_t size = 0;     // as the system says, once opened
  std::vector<uint8_t> bytes;
  std::string why;  // when not ok: "it is a folder", "it is larger than 8 MB", ...
};

FileRead ReadWholeFile(const std::string& path, size_t limit);

// The first n bytes of a regular file (fewer if it is shorter), read the same
// careful way; empty when the file is no regular file or cannot be read.
std::vector<uint8_t> ReadFileHead(const std::string& path, size_t n);

// A file written piece by piece (a replay as it is recorded): each Write
// reaches the system at once, so a program killed midway leaves all it wrote.
class FileOut {
 public:
  FileOut() = default;
  FileOut(const FileOut&) = delete;
  FileOut& operator=(const FileOut&) = delete;
  ~FileOut();
  // Made anew (emptied if it was there); false with why when it cannot be.
  bool Open(const std::string& path, std::string& why);
  bool Write(const std::string& s, std::string& why);
  // Onto the disk; true where the system cannot (a pipe, a device).
  bool Sync(std::string& why);
  bool IsOpen() const { return handle_ != -1; }

 private:
  intptr_t handle_ = -1;
};

// Writes text as the whole of path: into a new file beside it named
// tmpPrefix and a number of its own (two writers never meet), onto the disk,
// then renamed over path, so a crash leaves the old file or the new, never
// half of one. False with why, and no temporary file left, when it fails.
bool ReplaceWhole(const std::string& path, const std::string& text, const std::string& tmpPrefix, std::string& why);

// The path of a UTF-8 name for std::filesystem, and back: Windows would read
// a plain std::string in the system's old code page.
inline std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
inline std::string Utf8(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace plat
