#include "app/Settings.h"

#include "assets/Look.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace app {
namespace {

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

bool ReadInt(const std::string& v, int lo, int hi, int& out) {
  if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string::npos) return false;
  const int n = std::atoi(v.c_str());
  if (n < lo || n > hi) return false;
  out = n;
  return true;
}

bool ReadFlag(const std::string& v, bool& out) {
  int n = 0;
  if (!ReadInt(v, 0, 1, n)) return false;
  out = n == 1;
  return true;
}

}  // namespace

std::string SettingsPath() {
  // A relative XDG_CONFIG_HOME is to be ignored.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/pikora/settings";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/pikora/settings";
  return "";
}

SettingsRead LoadSettings(const std::string& path, Settings& out, std::string& why) {
  out = Settings{};
  if (path.empty()) return why = "no home folder to keep the settings in", SettingsRead::Missing;
  // Read whole first: a folder in the file's place opens but cannot be read.
  std::string text;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return why = "no settings yet in " + path, SettingsRead::Missing;
  bool readable = fd >= 0;
  for (char buf[4096]; readable;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      readable = n == 0;
      break;
    }
    text.append(buf, size_t(n));
  }
  const int err = errno;
  if (fd >= 0) close(fd);
  if (!readable) return why = "cannot read " + path + ": " + std::strerror(err), SettingsRead::Unreadable;
  std::istringstream in(text);
  Settings s;
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    bool ok = eq != std::string::npos;
    if (ok) {
      const std::string name = Trim(line.substr(0, eq)), v = Trim(line.substr(eq + 1));
      if (name == "fullscreen") ok = ReadFlag(v, s.fullscreen);
      else if (name == "width") ok = ReadInt(v, 400, 16384, s.width);
      else if (name == "height") ok = ReadInt(v, 300, 16384, s.height);
      else if (name == "volume") ok = ReadInt(v, 0, 10, s.volume);
      else if (name == "mute") ok = ReadFlag(v, s.mute);
      else if (name == "language") ok = (s.language = v).size() <= 40 && v.find_first_of(" \t") == std::string::npos;
      // A name from a later version is no fault.
    }
    if (!ok) return why = path + " line " + std::to_string(lineNo) + " makes no sense", SettingsRead::Malformed;
  }
  out = s;
  return SettingsRead::Good;
}

bool SaveSettings(const std::string& path, const Settings& s, std::string& why) {
  const size_t slash = path.rfind('/');
  if (path.empty() || slash == std::string::npos) return why = "no folder to keep the settings in", false;
  const std::string dir = path.substr(0, slash);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return why = "cannot make the folder " + dir + ": " + ec.message(), false;
  std::ostringstream o;
  o << "# " << look::kTitle << " settings, rewritten when they change in the game\n"
    << "fullscreen = " << int(s.fullscreen) << "\nwidth = " << s.width << "\nheight = " << s.height
    << "\nvolume = " << s.volume << "\nmute = " << int(s.mute) << '\n';
  if (!s.language.empty()) o << "language = " << s.language << '\n';
  const std::string text = o.str(), tmp = path + ".tmp";
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return why = "cannot write " + tmp + ": " + std::strerror(errno), false;
  const bool written = write(fd, text.data(), text.size()) == ssize_t(text.size()) && fsync(fd) == 0;
  const int err = errno;
  if (close(fd) != 0 || !written || rename(tmp.c_str(), path.c_str()) != 0) {
    why = "cannot write " + path + ": " + std::strerror(written ? errno : err);
    unlink(tmp.c_str());
    return false;
  }
  return true;
}

void SettingsFile::Keep(const Settings& now) {
  std::string why;
  if (!SaveSettings(path_, now, why)) std::fprintf(stderr, "pikora: the settings are not kept: %s\n", why.c_str());
}

}  // namespace app
