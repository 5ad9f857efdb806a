// Files written whole or not at all: whatever lies at the name, and a disk
// that fills up midway.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "platform/Files.h"
#include "tests/Folder.h"

namespace fs = std::filesystem;

namespace {

class WholeFiles : public pktest::InFolder {
 protected:
  // Only the named files are in the folder: no temporary file was left.
  void OnlyThere(std::initializer_list<std::string> names, const std::string& what) {
    std::set<std::string> want(names), got;
    for (const auto& e : fs::directory_iterator(dir)) got.insert(e.path().filename().string());
    EXPECT_EQ(got, want) << what;
  }
  plat::FileWritten Write(const std::string& name, size_t n, bool replace) {
    const std::vector<uint8_t> bytes(n, 'n');
    return plat::WriteWholeFile((dir / name).string(), bytes, replace);
  }
};

// A file is read whole up to its limit, and past it refused with the limit
// as the player reads it: in MB from one MB on, else in bytes.
TEST_F(WholeFiles, ReadUpToTheLimitAndNoFurther) {
  const std::string path = (dir / "f").string();
  std::ofstream(path) << std::string((1 << 20) + 1, 'x');
  const struct {
    size_t limit;
    const char* why;
  } cases[] = {{(1 << 20) + 1, ""}, {1 << 20, "it is larger than 1 MB"}, {(1 << 20) - 1, "it is larger than 1048575 bytes"}};
  for (const auto& c : cases) {
    errno = EINTR;  // left over from before: the end of the file is still its end
    const plat::FileRead r = plat::ReadWholeFile(path, c.limit);
    EXPECT_EQ(r.ok, !*c.why) << c.limit;
    EXPECT_EQ(r.why, c.why) << c.limit;
    EXPECT_EQ(r.fault, *c.why ? plat::FileRead::TooLarge : plat::FileRead::Fine) << c.limit;
    EXPECT_EQ(r.bytes.size(), *c.why ? 0u : (1u << 20) + 1) << c.limit;
  }
  // A read that fails is said at once (a file of the kernel's that fails
  // every read at its start).
  const plat::FileRead broken = plat::ReadWholeFile("/proc/self/mem", 100);
  EXPECT_EQ(broken.fault, plat::FileRead::CannotRead);
  EXPECT_EQ(broken.why, "Input/output error");
}

// New files are the player's to write and anyone's to read, a bare name's in
// the current folder; an errno left over from before is no failure.
TEST_F(WholeFiles, NewFilesAreTheOwnersToWriteAndAnyonesToRead) {
  const mode_t mask = umask(022);
  errno = ENOENT;
  const plat::FileWritten w = Write("whole.png", 10, false);
  EXPECT_TRUE(w.ok) << w.why;
  plat::FileOut out;
  std::string why;
  EXPECT_TRUE(out.Create((dir / "out.replay").string(), false, why)) << why;
  umask(mask);
  for (const char* name : {"whole.png", "out.replay"})
    EXPECT_EQ(fs::status(dir / name).permissions(), fs::perms(0644)) << name;
  // A name without a folder is written in the current one.
  const fs::path was = fs::current_path();
  fs::current_path(dir);
  const plat::FileWritten here = plat::WriteWholeFile("here.txt", std::vector<uint8_t>{'h'}, false);
  fs::current_path(was);
  EXPECT_TRUE(here.ok) << here.why;
  EXPECT_EQ(Text(dir / "here.txt"), "h");
}

// A game started with its input closed (`<&-`) gets descriptor 0 for the
// first file it opens, a file like any other.
TEST_F(WholeFiles, DescriptorZeroIsAFileLikeAnyOther) {
  struct InputClosed {
    const int saved = dup(0);  // -1: closed already
    InputClosed() { close(0); }
    ~InputClosed() {
      if (saved >= 0) dup2(saved, 0), close(saved);
    }
  };
  const std::string path = (dir / "f").string();
  std::string why;
  {
    const InputClosed closed;
    EXPECT_TRUE(plat::WriteWholeFile(path, std::vector<uint8_t>{'a', 'b', 'c'}, false).ok);
    EXPECT_EQ(plat::ReadWholeFile(path, 10).bytes, (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(plat::ReadFileHead(path, 2), (std::vector<uint8_t>{'a', 'b'}));
    // Each closed before descriptor 0 is given back: at its end, or given up.
    {
      plat::FileOut kept;
      EXPECT_TRUE(kept.Create((dir / "kept").string(), false, why)) << why;
      EXPECT_TRUE(kept.Write("kept", why)) << why;
      EXPECT_TRUE(kept.Rewrite("K", why)) << why;
      EXPECT_TRUE(kept.Sync(why)) << why;
    }
    EXPECT_EQ(fcntl(0, F_GETFD), -1) << "left open at its end";
    plat::FileOut made, appended;
    EXPECT_TRUE(made.Create((dir / "out").string(), false, why)) << why;
    EXPECT_TRUE(made.Write("made", why)) << why;
    made.Discard();
    EXPECT_EQ(fcntl(0, F_GETFD), -1) << "left open when given up";
    EXPECT_TRUE(appended.Append(path, 2, why)) << why;
    EXPECT_TRUE(appended.Write("+", why)) << why;
    appended.Discard();
  }
  EXPECT_EQ(Text(path), "ab+");
  EXPECT_EQ(Text(dir / "kept"), "Kept");
  OnlyThere({"f", "kept"}, "after writing with descriptor 0 free");
}

// What may lie at the name: written over only when asked to replace, never
// followed, never opened (a pipe with no reader would wait for ever).
TEST_F(WholeFiles, WhateverLiesAtTheNameIsNeverFollowedNorOpened) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> put;
    bool replace, ok, exists;
    std::string after;  // the name's content after, "" for no regular file there
  };
  const fs::path target = "/tmp/pikora-files-through-the-link-" + std::to_string(getpid());  // two suites may run at once
  const Case cases[] = {
      {"nothing", [](const fs::path&) {}, false, true, false, "nnnn"},
      {"a file", [this](const fs::path& p) { std::ofstream(p) << "old"; }, false, false, true, "old"},
      {"a file, replaced", [this](const fs::path& p) { std::ofstream(p) << "old"; }, true, true, false, "nnnn"},
      {"a dangling link", [&](const fs::path& p) { fs::create_symlink(target, p); }, false, false, true, ""},
      {"a dangling link, replaced", [&](const fs::path& p) { fs::create_symlink(target, p); }, true, true, false, "nnnn"},
      {"a pipe", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, false, false, true, ""},
      {"a pipe, replaced", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }, true, true, false, "nnnn"},
  };
  for (const Case& c : cases) {
    fs::remove_all(dir);
    fs::create_directory(dir);
    c.put(dir / "name");
    const auto t0 = std::chrono::steady_clock::now();
    const plat::FileWritten w = Write("name", 4, c.replace);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2)) << c.what;
    EXPECT_EQ(w.ok, c.ok) << c.what << ": " << w.why;
    EXPECT_EQ(w.exists, c.exists) << c.what;
    EXPECT_EQ(fs::is_regular_file(fs::symlink_status(dir / "name")) ? Text(dir / "name") : "", c.after) << c.what;
    EXPECT_FALSE(fs::exists(target)) << c.what << ": written through the link";
    OnlyThere({"name"}, c.what);
  }
  fs::remove(target);
  EXPECT_TRUE(Write("x", 1, false).ok) << "a name of one letter";
}

// A disk that fills up midway (here a file size limit, which fails the write
// as a full disk does): no file, not even a cut one, and what was there is
// kept; the reason is told.
TEST_F(WholeFiles, AFullDiskLeavesNothingHalfWritten) {
  const auto before = signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  struct Case {
    const char* what;
    bool existing;
    size_t size;
  };
  const Case cases[] = {{"a new file", false, 100000}, {"over an old one", true, 100000}, {"just over", false, 4097}};
  for (const Case& c : cases) {
    fs::remove_all(dir);
    fs::create_directory(dir);
    if (c.existing) std::ofstream(dir / "picture.png") << "old";
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const plat::FileWritten w = Write("picture.png", c.size, true);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(w.ok) << c.what;
    EXPECT_NE(w.why, "") << c.what;
    if (c.existing) {
      EXPECT_EQ(Text(dir / "picture.png"), "old") << c.what;
      OnlyThere({"picture.png"}, c.what);
    } else {
      OnlyThere({}, c.what);
    }
  }
  signal(SIGXFSZ, before);
  // Within the limit it is written whole.
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const plat::FileWritten w = Write("picture.png", 4096, true);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_TRUE(w.ok) << w.why;
  EXPECT_EQ(Text(dir / "picture.png"), std::string(4096, 'n'));
  // A folder that is not there.
  const plat::FileWritten nowhere = Write("no/such/picture.png", 10, true);
  EXPECT_FALSE(nowhere.ok);
  EXPECT_NE(nowhere.why.find("No such file"), std::string::npos) << nowhere.why;
}

}  // namespace
