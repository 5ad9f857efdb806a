// Reading a file the player may have put anything in its place: a folder, a
// named pipe, a device such as /dev/zero, a file of hundreds of megabytes.
// Only a regular file is read, opening never waits, and nothing beyond a
// limit is read; anything else is refused with a few words saying why.
// Writing a file whole or not at all.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace plat {

struct FileRead {
  bool ok = false;
  bool missing = false;  // no such file (the others are there, but wrong)
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

}  // namespace plat
