// A program run as a player runs it from a shell: its status and all it said.
#pragma once
#include <sys/wait.h>

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

}  // namespace pktest
