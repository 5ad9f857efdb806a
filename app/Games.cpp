#include "app/Games.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/Form.h"
#include "platform/Files.h"
#include "platform/Languages.h"
#include "platform/blind/Blind.h"

namespace app {
namespace fs = std::filesystem;
namespace {

constexpr const char* kPrefix = "game-";
constexpr const char* kSuffix = ".replay";

bool IsGame(const std::string& name) {
  return name.starts_with(kPrefix) && name.ends_with(kSuffix);
}

// Where a kept game's name puts it among the others: the second it began,
// then the number NewGame adds to a later game of the same second (as text
// "-2" would come before the first game's "." and "-10" before "-9").
std::tuple<std::string_view, unsigned long, std::string_view> Order(std::string_view name) {
  constexpr size_t kStamp = std::string_view("YYYY-MM-DD_HH-MM-SS").size();
  std::string_view mid = name.substr(std::string_view(kPrefix).size());
  mid.remove_suffix(std::string_view(kSuffix).size());
  const std::string_view n = mid.size() > kStamp + 1 && mid[kStamp] == '-' ? mid.substr(kStamp + 1) : "";
  if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string_view::npos) return {mid, 1, name};
  return {mid.substr(0, kStamp), std::stoul(std::string(n)), name};
}

// Kept games by name, oldest first, in the order they began.
std::vector<std::string> Games(const std::string& folder) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(plat::FsPath(folder), ec), end; !ec && it != end; it.increment(ec))
    if (IsGame(plat::Utf8(it->path().filename())) && it->is_regular_file(ec)) out.push_back(plat::Utf8(it->path().filename()));
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) { return Order(a) < Order(b); });
  return out;
}

// Whether a kept game ended by itself: its last line says so.
bool Finished(const std::string& path) {
  const plat::FileRead f = plat::ReadWholeFile(path, size_t(replay::kMaxBytes));
  if (!f.ok) return false;
  const std::string text(f.bytes.begin(), f.bytes.end());
  const size_t end = text.rfind("\nend ");
  return end != std::string::npos && text.compare(end + 5, 4, "quit") != 0;
}

}  // namespace

std::string XdgStateFolder() {
  if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s == '/') return std::string(s) + "/pikora";
  if (const char* h = std::getenv("HOME"); h && *h == '/') return std::string(h) + "/.local/state/pikora";
  return "";
}

std::string LastGame(const std::string& folder) {
  const std::vector<std::string> games = Games(folder);
  return games.empty() ? "" : folder + "/" + games.back();
}

std::string StoppedGame(const std::string& folder, replay::Kept& game) {
  std::string error;
  const std::string path = LastGame(folder);
  if (path.empty()) return "";
  if (!replay::ReadKept(path, game, error)) {
    SetAside(path, error);
    return "";
  }
  return game.Continuable() ? path : "";
}

std::string NewGame(const std::string& folder, std::string& why) {
  std::error_code ec;
  if (folder.empty()) return why = "no folder to keep games in (neither XDG_STATE_HOME nor HOME is set)", "";
  if (fs::create_directories(plat::FsPath(folder), ec); ec) return why = "cannot make the folder " + folder + ": " + ec.message(), "";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string name = kPrefix + std::string(stamp) + kSuffix;
  for (int n = 2; fs::exists(plat::FsPath(folder + "/" + name), ec) && n < 100; ++n)
    name = kPrefix + std::string(stamp) + "-" + std::to_string(n) + kSuffix;
  return folder + "/" + name;
}

void SetAside(const std::string& path, const std::string& why) {
  std::error_code ec;
  std::string aside = path + ".damaged";
  for (int n = 2; fs::exists(plat::FsPath(aside), ec) && n < 1000; ++n) aside = path + "." + std::to_string(n) + ".damaged";
  fs::rename(plat::FsPath(path), plat::FsPath(aside), ec);
  if (ec) {
    std::fprintf(stderr, "pikora: the kept game %s is damaged (%s) and cannot be set aside: %s\n",
                 path.c_str(), why.c_str(), ec.message().c_str());
    return;
  }
  fs::rename(plat::FsPath(replay::PointPath(path)), plat::FsPath(replay::PointPath(path) + aside.substr(path.size())), ec);
  std::fprintf(stderr, "pikora: the kept game %s is damaged (%s); it is set aside as %s\n",
               path.c_str(), why.c_str(), aside.c_str());
}

void Prune(const std::string& folder, const std::string& current) {
  std::vector<std::string> games = Games(folder);
  size_t finished = 0, stopped = 0;
  for (auto it = games.rbegin(); it != games.rend(); ++it) {
    const std::string path = folder + "/" + *it;
    if (path == current) continue;
    size_t& count = Finished(path) ? finished : stopped;
    if (++count <= kGamesKept) continue;
    std::error_code ec;
    fs::remove(plat::FsPath(path), ec);
    fs::remove(plat::FsPath(replay::PointPath(path)), ec);
  }
}

void SpeakAsKept(plat::Platform& p, const replay::Kept& k) {
  if (const int i = plat::CarriedLanguages().Find(k.game.language); i >= 0) p.SetLanguage(size_t(i));
}

plat::Offer Standing(const std::string& path, const replay::Kept& k) {
  plat::Blind blind(k.game.seed);
  replay::KeptTape tape(k);
  blind.UseTape(&tape);
  pk::Form1 f(blind);
  try {
    f.Form_Load();
    while (blind.Behind() && f.Step()) {
    }
  } catch (const std::exception&) {
  }
  plat::Offer o;
  // The date from the file's name, as NewGame makes it (perhaps with -N
  // before the suffix); a name of another form is shown as it is.
  constexpr std::string_view kDated = "game-YYYY-MM-DD_HH-MM-SS.replay";
  const std::string name = plat::Utf8(plat::FsPath(path).filename());
  o.date = name.size() >= kDated.size() ? name.substr(5, 10) + " " + name.substr(16, 2) + ":" + name.substr(19, 2) : name;
  o.time = std::to_string(f.ShownJikan());
  o.funds = std::to_string(f.Sikin);
  return o;
}

}  // namespace app
