// Reading a file the player may have put anything in its place: a folder, a
// named pipe, a device such as /dev/zero, a file of hundreds of megabytes.
// Only a regular file is read, opening never waits, and nothing beyond a
// limit is read; anything else is refused with a few words saying why.
#pragma once
#include <cstddef>
#include <cstdint>
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

}  // namespace plat
