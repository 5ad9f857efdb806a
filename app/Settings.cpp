#include "app/Settings.h"

#include "platform/Files.h"
#include "platform/Terminal.h"
#include "screen/Look.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace app {
namespace {

// Larger is no settings file of ours, and is not read.
constexpr size_t kLimit = 64 << 10;
// An interrupted save leaves its temporary file; one this old is no save in progress.
constexpr auto kStale = std::chrono::minutes(1);

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// One setting: its name in the file, how a value is read (false: the line
// makes no sense) and how it is written, always as the reader takes it ("":
// no line).
struct Entry {
  const char* name;
  bool (*read)(const std::string& v, Settings& s);
  std::string (*write)(const Settings& s);
};

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
std::string Within(int v, int lo, int hi) { return std::to_string(std::clamp(v, lo, hi)); }
bool SaneLanguage(const std::string& v) { return v.size() <= 40 && v.find_first_of(" \t") == std::string::npos; }

const Entry kEntries[] = {
    {"fullscreen", [](const std::string& v, Settings& s) { return ReadFlag(v, s.fullscreen); },
     [](const Settings& s) { return std::string(s.fullscreen ? "1" : "0"); }},
    {"width", [](const std::string& v, Settings& s) { return ReadInt(v, kMinWidth, kMaxWidth, s.width); },
     [](const Settings& s) { return Within(s.width, kMinWidth, kMaxWidth); }},
    {"height", [](const std::string& v, Settings& s) { return ReadInt(v, kMinHeight, kMaxHeight, s.height); },
     [](const Settings& s) { return Within(s.height, kMinHeight, kMaxHeight); }},
    {"volume", [](const std::string& v, Settings& s) { return ReadInt(v, 0, 10, s.volume); },
     [](const Settings& s) { return Within(s.volume, 0, 10); }},
    {"mute", [](const std::string& v, Settings& s) { return ReadFlag(v, s.mute); },
     [](const Settings& s) { return std::string(s.mute ? "1" : "0"); }},
    {"language", [](const std::string& v, Settings& s) { return SaneLanguage(v) && (s.language = v, true); },
     [](const Settings& s) { return SaneLanguage(s.language) ? s.language : std::string(); }},
};

// Temporary files of saves that were cut short, beside the settings.
void SweepStale(const std::string& dir, const std::string& prefix) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (fs::directory_iterator it(plat::FsPath(dir), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = plat::Utf8(it->path().filename());
    if (!name.starts_with(prefix)) continue;
    std::error_code e2;
    if (it->is_regular_file(e2) && now - it->last_write_time(e2) > kStale) fs::remove(it->path(), e2);
  }
}

// The folder and the name of a file's path, as the system separates them
// (Windows by either slash); false for a bare name.
bool Split(const std::string& path, std::string& dir, std::string& base) {
  const std::filesystem::path p = plat::FsPath(path);
  if (!p.has_parent_path() || !p.has_filename()) return false;
  dir = plat::Utf8(p.parent_path());
  base = plat::Utf8(p.filename());
  return true;
}

}  // namespace

std::string XdgSettingsPath() {
  // A relative XDG_CONFIG_HOME is to be ignored.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/pikora/settings";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/pikora/settings";
  return "";
}

SettingsRead ParseSettings(const std::string& text, const std::string& where, Settings& out, std::string& why) {
  out = Settings{};
  // Every good line is taken; a bad one is ignored and named.
  std::istringstream in(text);
  std::string line, ignored;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    bool ok = eq != std::string::npos;
    if (ok) {
      const std::string name = Trim(line.substr(0, eq)), v = Trim(line.substr(eq + 1));
      // A name from a later version is no fault.
      for (const Entry& e : kEntries)
        if (name == e.name) ok = e.read(v, out);
    }
    if (!ok) ignored += (ignored.empty() ? "" : ", ") + std::to_string(lineNo) + " (" + plat::Shown(line, 40) + ")";
  }
  if (ignored.empty()) return SettingsRead::Good;
  why = where + " line " + ignored + " makes no sense and is ignored";
  return SettingsRead::Malformed;
}

std::string SettingsText(const Settings& s) {
  std::ostringstream o;
  o << "# " << look::kTitle << " settings, rewritten when they change in the game\n";
  for (const Entry& e : kEntries)
    if (const std::string v = e.write(s); !v.empty()) o << e.name << " = " << v << '\n';
  return o.str();
}

SettingsRead LoadSettings(const std::string& path, Settings& out, std::string& why) {
  out = Settings{};
  if (path.empty()) return why = "no home folder to keep the settings in", SettingsRead::Missing;
  const plat::FileRead file = plat::ReadWholeFile(path, kLimit);
  if (file.missing) return why = "no settings yet in " + plat::Shown(path), SettingsRead::Missing;
  if (!file.ok) return why = "cannot read " + plat::Shown(path) + ": " + file.why, SettingsRead::Unreadable;
  return ParseSettings(std::string(file.bytes.begin(), file.bytes.end()), plat::Shown(path), out, why);
}

void SweepLeftovers(const std::string& path) {
  std::string dir, base;
  if (!Split(path, dir, base)) return;
  SweepStale(dir, "." + base + ".tmp-");
  SweepStale(dir, base + ".tmp");  // as older versions named it
}

bool SaveSettings(const std::string& path, const Settings& s, std::string& why) {
  std::string dir, base;
  if (!Split(path, dir, base)) return why = "no folder to keep the settings in", false;
  std::error_code ec;
  std::filesystem::create_directories(plat::FsPath(dir), ec);
  if (ec) return why = "cannot make the folder " + plat::Shown(dir) + ": " + ec.message(), false;
  const std::string text = SettingsText(s);
  SweepLeftovers(path);
  const plat::FileWritten w = plat::WriteWholeFile(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), true);
  if (!w.ok) return why = "cannot write " + plat::Shown(path) + ": " + w.why, false;
  return true;
}

void SettingsFile::Keep(const Settings& now) {
  std::string why;
  if (!SaveSettings(path_, now, why)) std::fprintf(stderr, "pikora: the settings are not kept: %s\n", why.c_str());
}

}  // namespace app
