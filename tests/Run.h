// A program run as a player runs it from a shell: its status and all it said;
// and a child process waited for no longer than a test may wait.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace pktest {

struct Ran {
  int status = -1;  // -1: it did not start, or ended by a signal
  std::string out;  // stdout and stderr together
};
inline Ran Run(const std::string& command) {
  Ran r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// A child's end within `seconds`, its status in st; one that hangs on is
// killed, so that a test neither hangs nor leaves it running, and false.
inline bool Ended(pid_t pid, int& st, int seconds) {
  for (int i = 0; i < seconds * 100; ++i) {
    if (waitpid(pid, &st, WNOHANG) == pid) return true;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &st, 0);
  return false;
}

}  // namespace pktest
