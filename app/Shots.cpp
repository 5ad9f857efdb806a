#include "app/Shots.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace app {

std::string PicturesFromUserDirs(const std::string& text, const std::string& home) {
  std::istringstream in(text);
  std::string found;
  for (std::string line; std::getline(in, line);) {
    const size_t a = line.find_first_not_of(" \t");
    if (a == std::string::npos || line[a] == '#') continue;
    const std::string key = "XDG_PICTURES_DIR=\"";
    if (line.compare(a, key.size(), key) != 0) continue;
    const size_t from = a + key.size(), to = line.find('"', from);
    if (to == std::string::npos) continue;
    const std::string v = line.substr(from, to - from);
    if (v.starts_with("$HOME") && (v.size() == 5 || v[5] == '/')) {
      if (!home.empty()) found = home + v.substr(5);
    } else if (!v.empty() && v[0] == '/') {
      found = v;
    }
  }
  return found;
}

std::string XdgPicturesFolder() {
  const char* xdg = std::getenv("XDG_PICTURES_DIR");
  if (xdg && xdg[0] == '/') return xdg;
  const char* h = std::getenv("HOME");
  const std::string home = h && h[0] == '/' ? h : "";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string dirs = config && config[0] == '/' ? std::string(config) + "/user-dirs.dirs"
                           : home.empty()             ? ""
                                                      : home + "/.config/user-dirs.dirs";
  // Only a small regular file is read.
  struct stat st {};
  if (!dirs.empty() && stat(dirs.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size < 65536) {
    std::ifstream in(dirs);
    std::stringstream text;
    text << in.rdbuf();
    if (std::string named = PicturesFromUserDirs(text.str(), home); !named.empty()) return named;
  }
  return home.empty() ? "" : home + "/Pictures";
}

}  // namespace app
