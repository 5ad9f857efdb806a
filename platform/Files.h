// Reading a file the player may have put anything in its place: a folder, a
// named pipe, a device such as /dev/zero, a file of hundreds of megabytes.
// Only a regular file is read, opening never waits, and nothing beyond a
// limit is read; anything else is refused with a few words saying why.
// Writing a file whole or not at all, or line by line as a replay is recorded.
// Every name is UTF-8: platform/posix/ on Linux and in the page,
// platform/win32/ (the wide-character API) on Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
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

// Writes a whole file or none. The bytes go into a new temporary file beside
// it (made with O_CREAT|O_EXCL|O_NOFOLLOW, so nothing at that name is
// followed or opened), every write and the close checked, synced, and only
// then renamed to the name. On any error (a full disk, a folder that cannot
// be written) the temporary file is removed, what was at the name is left as
// it was, and why says what went wrong. With replace false a name already
// taken, by a dangling link or a pipe too, is refused (exists set) rather
// than replaced.
struct FileWritten {
  bool ok = false;
  bool exists = false;
  std::string why;
};
FileWritten WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, bool replace);

// A file written piece by piece (a replay as it is recorded): each Write
// reaches the system at once, so a program killed midway leaves all it wrote.
class FileOut {
 public:
  FileOut() = default;
  FileOut(const FileOut&) = delete;
  FileOut& operator=(const FileOut&) = delete;
  ~FileOut();
  // Never waits to open (a pipe with no reader) and never follows a link.
  // Without replace only a new file is made; with it, what is there is
  // written over, a regular file emptied by the first write (until then,
  // Discard leaves it as it was). False with why (which does not name the
  // file), saying what is at the name when that is the fault.
  bool Create(const std::string& path, bool replace, std::string& why);
  // A regular file already there, cut to its first `keep` bytes, written on
  // at its end (a kept game going on); never a link.
  bool Append(const std::string& path, int64_t keep, std::string& why);
  bool Write(const std::string& s, std::string& why);
  // s written over the file's first bytes, in place (a small record kept
  // up to date).
  bool Rewrite(const std::string& s, std::string& why);
  // Onto the disk; true where the system cannot (a pipe, a device).
  bool Sync(std::string& why);
  // Closed; a file this one made is removed.
  void Discard();
  bool IsOpen() const { return handle_ != -1; }

 private:
  bool Emptied(std::string& why);
  intptr_t handle_ = -1;
  bool made_ = false;
  bool empty_ = false;  // a file written over: emptied at the first write
  std::string path_;
};

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
