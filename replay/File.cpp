// Reading and writing replay files. Reading trusts nothing: the file's kind
// and size are looked at before a byte is read, and every line is checked.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "replay/Replay.h"

namespace replay {
namespace {

constexpr size_t kMaxLine = 200;

bool Number(const std::string& s, uint64_t max, uint64_t& out) {
  if (s.empty() || s.size() > 20 || s.find_first_not_of("0123456789") != std::string::npos) return false;
  if (s.size() > 1 && s[0] == '0') return false;
  uint64_t v = 0;
  for (char c : s) {
    const uint64_t d = uint64_t(c - '0');
    if (v > (max - d) / 10) return false;
    v = v * 10 + d;
  }
  out = v;
  return true;
}

bool Signed(const std::string& s, int64_t& out) {
  uint64_t v = 0;
  const bool neg = !s.empty() && s[0] == '-';
  if (!Number(neg ? s.substr(1) : s, uint64_t(INT64_MAX), v)) return false;
  if (neg && v == 0) return false;  // the game never writes -0: an edited file
  out = neg ? -int64_t(v) : int64_t(v);
  return true;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> w;
  std::istringstream in(line);
  for (std::string x; in >> x;) w.push_back(x);
  return w;
}

bool Token(const std::string& s, const char* allowed, size_t max) {
  return !s.empty() && s.size() <= max && s.find_first_not_of(allowed) == std::string::npos;
}

const char* const kHows[] = {"vacation", "bankrupt", "quit", "fatal"};

// A language as a replay names it: "ja", "en", "pt_BR". One the game does
// not carry is no fault: the game's course is the same in every language.
bool LanguageCode(const std::string& s) {
  return Token(s, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_", 16) && std::islower(uint8_t(s[0]));
}

}  // namespace

std::string Describe(const Ending& e) {
  return e.how + ", score " + std::to_string(e.score) + ", funds " + std::to_string(e.funds) + ", " +
         std::to_string(e.ticks) + " ticks";
}

std::string HeaderLines(uint64_t seed, const std::string& language) {
  return "pikora-replay " + std::to_string(kFormat) + "\ngame " + PIKORA_VERSION + "\nseed " + std::to_string(seed) +
         "\nlanguage " + language + "\n";
}

std::string InputLine(const Input& in) {
  const std::string p = std::to_string(in.point) + " +" + std::to_string(in.wait);
  switch (in.e.type) {
    case plat::Event::KeyDown: return p + " key " + std::to_string(in.e.key) + "\n";
    case plat::Event::Click: return p + " click " + std::to_string(in.e.x) + " " + std::to_string(in.e.y) + "\n";
    case plat::Event::Language: {
      const plat::Languages& all = plat::CarriedLanguages();
      const bool carried = in.e.key >= 0 && size_t(in.e.key) < all.Count();
      return p + " language " + (in.language.empty() && carried ? all[size_t(in.e.key)].code : in.language) + "\n";
    }
    case plat::Event::Close: break;
  }
  return p + " close\n";
}

std::string EndLine(const Ending& e) {
  return "end " + e.how + " score " + std::to_string(e.score) + " funds " + std::to_string(e.funds) + " ticks " +
         std::to_string(e.ticks) + " record " + e.record + "\n";
}

std::string Text(const Replay& r) {
  std::string t = "pikora-replay " + std::to_string(r.format) + "\ngame " + r.game + "\nseed " + std::to_string(r.seed) +
                  "\nlanguage " + r.language + "\n";
  for (const Input& in : r.inputs) t += InputLine(in);
  return t + EndLine(r.end);
}

namespace {

std::string At(size_t n) { return "line " + std::to_string(n + 1) + ": "; }

// The file's lines, each without its newline. A file that went through a
// Windows editor or mail ends its lines in CR LF; a CR anywhere else is
// binary data (one at the very end was cut from its LF). Bytes are counted as
// in the file.
bool SplitLines(const std::string& raw, std::vector<std::string>& lines, std::string& why) {
  if (raw.empty()) return why = "the file is empty, not a replay", false;
  if (raw.starts_with("\xef\xbb\xbf"))
    return why = "it begins with a byte order mark (a Windows editor adds one): save it again without the mark",
           false;
  std::string text;
  text.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    const unsigned char c = uint8_t(raw[i]);
    if (c == '\r' && (i + 1 == raw.size() || raw[i + 1] == '\n')) continue;
    if (c != '\n' && (c < 0x20 || c > 0x7e))
      return why = "binary data at byte " + std::to_string(i + 1) + ": not a replay", false;
    text += char(c);
  }
  if (text.empty()) return why = "not a replay: it does not begin with 'pikora-replay'", false;
  // A last line without its newline was cut off.
  for (size_t at = 0; at < text.size();) {
    const size_t nl = text.find('\n', at);
    if (nl == std::string::npos) {
      if (lines.empty() && !text.starts_with("pikora-replay"))
        return why = "not a replay: it does not begin with 'pikora-replay'", false;
      return why = "truncated: line " + std::to_string(lines.size() + 1) +
                   " is cut off (the recording stopped while writing it)", false;
    }
    if (nl - at > kMaxLine) {
      if (lines.empty()) return why = "not a replay: it does not begin with 'pikora-replay'", false;
      return why = "line " + std::to_string(lines.size() + 1) + " is too long for a replay", false;
    }
    lines.push_back(text.substr(at, nl - at));
    at = nl + 1;
  }
  return true;
}

// The format version, then the game's version, the seed and the language.
bool ReadHeader(const std::vector<std::string>& lines, Replay& out, std::string& why) {
  std::vector<std::string> w = Words(lines[0]);
  if (w.empty() || w[0] != "pikora-replay") return why = "not a replay: it does not begin with 'pikora-replay'", false;
  uint64_t format = 0;
  if (w.size() != 2 || !Number(w[1], UINT64_MAX, format))
    return why = "line 1: the format version is not a number", false;
  if (format < 1 || format > uint64_t(kFormat))
    return why = "replay format version " + w[1] + " is unknown to this game (it reads versions 1 to " +
                 std::to_string(kFormat) + ")", false;
  out.format = int(format);
  const char* const heads[3] = {"game", "seed", "language"};
  for (size_t n = 1; n <= 3; ++n) {
    if (n >= lines.size())
      return why = "truncated: the file ends after line " + std::to_string(lines.size()) + ", before its '" +
                   heads[n - 1] + "' line", false;
    w = Words(lines[n]);
    if (w.size() != 2 || w[0] != heads[n - 1])
      return why = At(n) + "expected '" + heads[n - 1] + " <value>', found '" + lines[n] + "'", false;
    if (n == 1 && !Token(w[1], "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ.+~-", 32))
      return why = At(n) + "the game version '" + w[1] + "' makes no sense", false;
    if (n == 2 && !Number(w[1], UINT64_MAX, out.seed))
      return why = At(n) + "the seed '" + w[1] + "' is not a whole number from 0 to 18446744073709551615", false;
    if (n == 3 && !LanguageCode(w[1])) return why = At(n) + "the language '" + w[1] + "' makes no sense", false;
    if (n == 1) out.game = w[1];
    if (n == 3) out.language = w[1];
  }
  return true;
}

// Input line n, its words w: '<point> +<wait> key|click|close|language …',
// at a point no earlier than the input before it.
bool ReadInput(const std::vector<std::string>& lines, size_t n, std::vector<std::string> w, Replay& out,
               std::string& why) {
  Input in;
  uint64_t wait = 0;
  if (w.size() < 3 || !Number(w[0], UINT64_MAX, in.point) || !w[1].starts_with('+') ||
      !Number(w[1].substr(1), UINT64_MAX, wait))
    return why = At(n) + "expected '<point> +<wait> key|click|close …' or the end line, found '" + lines[n] + "'",
           false;
  if (wait > kMaxWait)
    return why = At(n) + "a wait of " + w[1].substr(1) + " ms before an input is more than an hour", false;
  in.wait = uint32_t(wait);
  w.erase(w.begin() + 1);
  if (!out.inputs.empty() && in.point < out.inputs.back().point)
    return why = At(n) + "impossible point " + w[0] + ": the input before it was taken later, at point " +
                 std::to_string(out.inputs.back().point), false;
  uint64_t a = 0, b = 0;
  if (w[1] == "key" && w.size() == 3 && Number(w[2], 255, a)) {
    in.e = plat::Event{plat::Event::KeyDown, int(a), 0, 0};
  } else if (w[1] == "click" && w.size() == 4 && Number(w[2], plat::Platform::kWinW - 1, a) &&
             Number(w[3], plat::Platform::kWinH - 1, b)) {
    in.e = plat::Event{plat::Event::Click, 0, int(a), int(b)};
  } else if (w[1] == "close" && w.size() == 2) {
    in.e = plat::Event{plat::Event::Close, 0, 0, 0};
  } else if (w[1] == "language" && w.size() == 3 && LanguageCode(w[2])) {
    in.e = plat::Event{plat::Event::Language, plat::CarriedLanguages().Find(w[2]), 0, 0};
    if (in.e.key < 0) in.language = w[2];
  } else {
    return why = At(n) + "not an input the game knows: '" + lines[n] + "' (a key is 0 to 255, a click lies in "
                 "the 800 x 600 window, a language is named by its code)", false;
  }
  out.inputs.push_back(in);
  return true;
}

// The end line n, the last of the file, after which no input was taken.
bool ReadEnd(const std::vector<std::string>& lines, size_t n, Replay& out, std::string& why) {
  const std::vector<std::string> w = Words(lines[n]);
  Ending& e = out.end;
  bool ok = w.size() == 10 && w[2] == "score" && w[4] == "funds" && w[6] == "ticks" && w[8] == "record";
  ok = ok && Signed(w[3], e.score) && Signed(w[5], e.funds) && Number(w[7], UINT64_MAX, e.ticks);
  ok = ok && w[9].size() == 16 && w[9].find_first_not_of("0123456789abcdef") == std::string::npos;
  bool known = false;
  for (const char* h : kHows) known |= ok && w[1] == h;
  if (!ok || !known)
    return why = At(n) + "the end line makes no sense: '" + lines[n] +
                 "' (expected 'end vacation|bankrupt|quit|fatal score S funds F ticks T record DIGEST')", false;
  e.how = w[1];
  e.record = w[9];
  if (n + 1 != lines.size()) return why = At(n + 1) + "something follows the end line", false;
  if (!out.inputs.empty() && out.inputs.back().point > e.ticks)
    return why = "line " + std::to_string(n) + ": impossible point " + std::to_string(out.inputs.back().point) +
                 ": the game ended after " + std::to_string(e.ticks) + " ticks", false;
  return true;
}

}  // namespace

bool Parse(const std::string& raw, Replay& out, std::string& why) {
  out = Replay{};
  std::vector<std::string> lines;
  if (!SplitLines(raw, lines, why) || !ReadHeader(lines, out, why)) return false;
  size_t n = 4;
  for (; n < lines.size(); ++n) {
    std::vector<std::string> w = Words(lines[n]);
    if (!w.empty() && w[0] == "end") break;
    if (!ReadInput(lines, n, std::move(w), out, why)) return false;
  }
  if (n == lines.size())
    return why = "truncated: the file ends after line " + std::to_string(n) +
                 " without its end line (the recording was cut off)", false;
  return ReadEnd(lines, n, out, why);
}

bool Load(const std::string& path, Replay& out, std::string& why) {
  // Never blocks: a pipe or a device opens at once and is then turned away.
  const plat::FileRead f = plat::ReadWholeFile(path, size_t(kMaxBytes));
  switch (f.fault) {
    case plat::FileRead::Fine: break;
    case plat::FileRead::CannotOpen: return why = "cannot open it: " + f.why, false;
    case plat::FileRead::Folder: return why = "a folder, not a replay file", false;
    case plat::FileRead::NotRegular: return why = "not a regular file (a pipe or a device?)", false;
    case plat::FileRead::TooLarge:
      // A file that grows while it is read is still held to the limit.
      return why = int64_t(f.size) > kMaxBytes ? "too large for a replay: " + std::to_string(f.size) +
                                                     " bytes (at most " + std::to_string(kMaxBytes) + ")"
                                               : "too large for a replay: more than " + std::to_string(kMaxBytes) + " bytes",
             false;
    case plat::FileRead::CannotRead: return why = "cannot read it: " + f.why, false;
  }
  const std::string text(f.bytes.begin(), f.bytes.end());
  return Parse(text, out, why);
}

}  // namespace replay
