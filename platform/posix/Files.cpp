// Files on Linux and in the web page, through POSIX.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
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
    r.fault = FileRead::CannotOpen;
    r.why = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    r.fault = S_ISDIR(st.st_mode) ? FileRead::Folder : FileRead::NotRegular;
    r.why = S_ISDIR(st.st_mode) ? "it is a folder" : "it is no regular file (a pipe or a device)";
    close(fd);
    return -1;
  }
  size = size_t(st.st_size);
  r.size = uint64_t(st.st_size);
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

bool WriteAll(int fd, const std::string& s) {
  for (size_t done = 0; done < s.size();) {
    const ssize_t n = write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

}  // namespace

FileRead ReadWholeFile(const std::string& path, size_t limit) {
  FileRead r;
  size_t size = 0;
  const int fd = OpenRegular(path, size, r);
  if (fd < 0) return r;
  // One byte more than it claims tells a file that grew past the limit meanwhile.
  if (size > limit) r.why = "it is larger than " + Megabytes(limit), r.fault = FileRead::TooLarge;
  else if (!ReadUpTo(fd, size + 1, r.bytes)) r.why = std::strerror(errno), r.fault = FileRead::CannotRead;
  else if (r.bytes.size() > limit) r.why = "it is larger than " + Megabytes(limit), r.fault = FileRead::TooLarge;
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

FileOut::~FileOut() {
  if (handle_ >= 0) close(int(handle_));
}

bool FileOut::Open(const std::string& path, std::string& why) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return why = std::strerror(errno), false;
  handle_ = fd;
  return true;
}

bool FileOut::Write(const std::string& s, std::string& why) {
  if (handle_ < 0) return why = "the file is not open", false;
  return WriteAll(int(handle_), s) || (why = std::strerror(errno), false);
}

bool FileOut::Sync(std::string& why) {
  if (handle_ < 0) return why = "the file is not open", false;
  return fsync(int(handle_)) == 0 || errno == EINVAL || (why = std::strerror(errno), false);
}

bool ReplaceWhole(const std::string& path, const std::string& text, const std::string& tmpPrefix, std::string& why) {
  static std::atomic<unsigned> saves{0};
  std::string tmp;
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    tmp = tmpPrefix + std::to_string(getpid()) + "-" + std::to_string(saves++);
    fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return why = "cannot write " + tmp + ": " + std::strerror(errno), false;
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  const int err = errno;
  if (close(fd) != 0 || !written || rename(tmp.c_str(), path.c_str()) != 0) {
    why = "cannot write " + path + ": " + std::strerror(written ? errno : err);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace plat
