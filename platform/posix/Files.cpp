#include "platform/Files.h"

#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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

namespace {

// Renames the written file to its name; without replace only onto a free
// name. 0, or the errno of the failure (EEXIST: the name is taken).
int PutInPlace(const std::string& tmp, const std::string& path, bool replace) {
  if (replace) return rename(tmp.c_str(), path.c_str()) != 0 ? errno : 0;
#ifdef RENAME_NOREPLACE
  if (renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  // Where the system or the file system has no such rename: a hard link
  // fails on a taken name too.
  if (link(tmp.c_str(), path.c_str()) != 0) return errno;
  unlink(tmp.c_str());
  return 0;
}

}  // namespace

FileWritten WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, bool replace) {
  FileWritten w;
  const size_t cut = path.rfind('/') + 1;  // 0 without a folder
  const std::string dir = path.substr(0, cut), base = path.substr(cut);
  if (base.empty()) return w.why = "no file name", w;
  // A name of its own for every write, so two writers never meet; the
  // leading dot keeps a leftover (a kill -9 midway) out of sight.
  static std::atomic<unsigned> writes{0};
  std::string tmp;
  int fd = -1;
  for (int tries = 0; fd < 0 && tries < 100; ++tries) {
    tmp = dir + "." + base + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(writes++);
    fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return w.why = std::strerror(errno), w;
  int err = 0;
  for (size_t done = 0; done < bytes.size() && !err;) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) err = n < 0 ? errno : ENOSPC;
    else done += size_t(n);
  }
  if (!err && fsync(fd) != 0)
    err = errno == EINVAL ? 0 : errno;  // EINVAL: a file system that cannot sync
  if (close(fd) != 0 && !err) err = errno;
  if (!err) err = PutInPlace(tmp, path, replace);
  if (err == EEXIST) w.exists = true;
  if (err) {
    unlink(tmp.c_str());
    w.why = std::strerror(err);
    return w;
  }
  w.ok = true;
  return w;
}

FileOut::~FileOut() {
  if (handle_ >= 0) close(int(handle_));
}

bool FileOut::Create(const std::string& path, bool replace, std::string& why) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
  if (!replace) flags |= O_EXCL;
  const int fd = open(path.c_str(), flags, 0644);
  if (fd < 0) {
    const int err = errno;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return why = std::strerror(err), false;
    const char* what = S_ISREG(st.st_mode) ? "a file" : S_ISDIR(st.st_mode) ? "a folder" : S_ISLNK(st.st_mode) ? "a symbolic link"
                       : S_ISFIFO(st.st_mode) ? "a named pipe" : "a device or socket";
    if (err == EEXIST && S_ISREG(st.st_mode)) return why = "there is a file of that name already", false;
    if (err == EEXIST || err == ELOOP) return why = std::string("there is ") + what + " of that name", false;
    return why = std::string(std::strerror(err)) + " (it is " + what + ")", false;
  }
  // What was there is emptied by the first write, not here: a file given
  // up before it (Discard) leaves the old one whole.
  struct stat st {};
  empty_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
  // Opened: the writes may wait (a pipe's reader reads slowly) like any file's.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle_ = fd;
  made_ = !replace;
  path_ = path;
  return true;
}

bool FileOut::Emptied(std::string& why) {
  if (!empty_) return true;
  if (ftruncate(int(handle_), 0) != 0) return why = std::string("cannot empty it: ") + std::strerror(errno), false;
  empty_ = false;
  return true;
}

bool FileOut::Append(const std::string& path, int64_t keep, std::string& why) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0) return why = std::strerror(errno), false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ftruncate(fd, keep) != 0) {
    why = S_ISREG(st.st_mode) ? std::strerror(errno) : "it is no regular file";
    close(fd);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle_ = fd;
  made_ = empty_ = false;
  path_ = path;
  return true;
}

bool FileOut::Rewrite(const std::string& s, std::string& why) {
  if (handle_ < 0) return why = "the file is not open", false;
  if (!Emptied(why)) return false;
  const ssize_t n = pwrite(int(handle_), s.data(), s.size(), 0);
  return n == ssize_t(s.size()) || (why = std::strerror(n < 0 ? errno : ENOSPC), false);
}

bool FileOut::Write(const std::string& s, std::string& why) {
  if (handle_ < 0) return why = "the file is not open", false;
  if (!Emptied(why)) return false;
  for (size_t done = 0; done < s.size();) {
    const ssize_t n = write(int(handle_), s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return why = std::strerror(n < 0 ? errno : ENOSPC), false;
    done += size_t(n);
  }
  return true;
}

bool FileOut::Sync(std::string& why) {
  if (handle_ < 0) return why = "the file is not open", false;
  if (fsync(int(handle_)) == 0) return true;
  return errno == EINVAL || (why = std::strerror(errno), false);
}

void FileOut::Discard() {
  if (handle_ < 0) return;
  close(int(handle_)), handle_ = -1;
  if (made_) unlink(path_.c_str());
}

}  // namespace plat
