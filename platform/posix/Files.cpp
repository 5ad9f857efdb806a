#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plat {
namespace {

std::string Megabytes(size_t n) {
  return n >= (1u << 20) ? std::to_string(n >> 20) + " MB" : std::to_string(n) + " bytes";
}

// Opened without waiting (a pipe with no writer would hold open() for ever),
// and only when it is a regular file; -1 with why set otherwise.
int OpenRegular(const std::string& path, size_t& size, FileRead& r) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    r.missing = errno == ENOENT;
    r.why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    r.why = S_ISDIR(st.st_mode) ? "it is a folder" : "it is no regular file (a pipe or a device)";
    close(fd);
    return -1;
  }
  size = size_t(st.st_size);
  return fd;
}

// Up to n bytes into out; false on a read error.
bool ReadUpTo(int fd, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  size_t got = 0;
  while (got < n) {
    const ssize_t k = read(fd, out.data() + got, n - got);
    if (k < 0 && errno == EINTR) continue;
    if (k < 0) return false;
    if (k == 0) break;
    got += size_t(k);
  }
  out.resize(got);
  return true;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path, size_t limit) {
  FileRead r;
  size_t size = 0;
  const int fd = OpenRegular(path, size, r);
  if (fd < 0) return r;
  // One byte more than it claims tells a file that grew past the limit meanwhile.
  if (size > limit) r.why = "it is larger than " + Megabytes(limit);
  else if (!ReadUpTo(fd, size + 1, r.bytes)) r.why = std::strerror(errno);
  else if (r.bytes.size() > limit) r.why = "it is larger than " + Megabytes(limit);
  else r.ok = true;
  if (!r.ok) r.bytes.clear();
  close(fd);
  return r;
}

std::vector<uint8_t> ReadFileHead(const std::string& path, size_t n) {
  FileRead r;
  size_t size = 0;
  const int fd = OpenRegular(path, size, r);
  if (fd < 0) return {};
  if (!ReadUpTo(fd, n, r.bytes)) r.bytes.clear();
  close(fd);
  return r.bytes;
}

}  // namespace plat
