// Starts a program and prints the milliseconds until its window shows a
// non-black pixel in a given rectangle: the start-up time as the player sees
// it, without the latency of polling with screenshots.
// Usage: first_frame X Y W H program [args...]   (then leaves it running and
// prints its process id on the second line)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Now() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The top-level window whose _NET_WM_PID is pid, or 0.
Window WindowOf(Display* d, pid_t pid) {
  Atom pidAtom = XInternAtom(d, "_NET_WM_PID", True);
  if (pidAtom == None) return 0;
  Window root, parent, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < n && !found; ++i) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* prop = nullptr;
    if (XGetWindowProperty(d, kids[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &prop) ==
            Success && prop && items == 1 && pid_t(*reinterpret_cast<unsigned long*>(prop)) == pid)
      found = kids[i];
    if (prop) XFree(prop);
  }
  if (kids) XFree(kids);
  return found;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: first_frame X Y W H program [args...]\n");
    return 2;
  }
  const int x = std::atoi(argv[1]), y = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]);
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 2;
  XSetErrorHandler(IgnoreErrors);  // the window may vanish or be unmapped while we look
  const double t0 = Now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(2, 1);  // our output is read through a pipe that the program must not hold open
    execvp(argv[5], argv + 5);
    _exit(127);
  }
  for (;;) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return 1;
    if (Now() - t0 > 30000) { kill(pid, SIGTERM); return 1; }
    if (Window win = WindowOf(d, pid)) {
      if (XImage* img = XGetImage(d, win, x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap)) {
        bool lit = false;
        for (int j = 0; j < h && !lit; ++j)
          for (int i = 0; i < w && !lit; ++i) lit = (XGetPixel(img, i, j) & 0xffffff) != 0;
        XDestroyImage(img);
        if (lit) {
          std::printf("%.0f\n%d\n", Now() - t0, int(pid));
          return 0;
        }
      }
    }
    usleep(2000);
  }
}
