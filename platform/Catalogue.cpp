#include "platform/Catalogue.h"

#include <cstring>

namespace plat {
namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr char kContextEnd = '\4';  // between a context and its text in a key

uint32_t Swap(uint32_t v) { return (v >> 24) | ((v >> 8) & 0xff00) | ((v << 8) & 0xff0000) | (v << 24); }

}  // namespace

// The layout (GNU gettext's .mo): a header of 32-bit words (magic, revision,
// count, offset of the originals' table, offset of the translations' table),
// each table a (length, offset) pair per entry, each string ending in NUL.
// The originals are sorted, so a lookup is a binary search. A key with a
// context is "context\4text"; plural forms follow the first after a NUL.
bool Catalogue::Load(std::span<const uint8_t> mo, std::string& why) {
  *this = Catalogue{};
  auto word = [&](size_t at, bool swap) {
    uint32_t v;
    std::memcpy(&v, mo.data() + at, 4);
    return swap ? Swap(v) : v;
  };
  if (mo.size() < 28) return why = "too short for a catalogue", false;
  const bool swap = word(0, false) != kMagic;
  if (word(0, swap) != kMagic) return why = "not a compiled gettext catalogue (.mo)", false;
  if (word(4, swap) >> 16 != 0) return why = "a catalogue of an unknown revision", false;
  const uint64_t n = word(8, swap), originals = word(12, swap), translations = word(16, swap);
  if (originals + 8 * n > mo.size() || translations + 8 * n > mo.size() || originals % 4 || translations % 4)
    return why = "its tables run past its end", false;
  for (uint32_t table : {uint32_t(originals), uint32_t(translations)})
    for (uint64_t i = 0; i < n; ++i) {
      const uint64_t len = word(size_t(table + 8 * i), swap), off = word(size_t(table + 8 * i + 4), swap);
      if (off + len >= mo.size() || mo[size_t(off + len)] != 0)
        return why = "entry " + std::to_string(i) + " runs past its end", false;
    }
  Catalogue c;
  c.mo_ = mo;
  c.swap_ = swap;
  c.n_ = uint32_t(n);
  c.originals_ = uint32_t(originals);
  c.translations_ = uint32_t(translations);
  for (uint32_t i = 1; i < c.n_; ++i)
    if (!(c.Str(c.originals_, i - 1) < c.Str(c.originals_, i)))
      return why = "its entries are not sorted (entry " + std::to_string(i) + ")", false;
  const std::string type = c.Header("Content-Type");
  if (const size_t at = type.find("charset="); at != std::string::npos) {
    std::string cs = type.substr(at + 8);
    for (char& ch : cs) ch = char(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    if (cs != "UTF-8") return why = "written in " + type.substr(at + 8) + ", not UTF-8", false;
  }
  *this = c;
  return true;
}

std::string_view Catalogue::Str(uint32_t table, size_t i) const {
  auto word = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, mo_.data() + at, 4);
    return swap_ ? Swap(v) : v;
  };
  const uint32_t len = word(table + 8 * i), off = word(table + 8 * i + 4);
  const char* s = reinterpret_cast<const char*>(mo_.data() + off);
  return std::string_view(s, strnlen(s, len));
}

int Catalogue::Find(std::string_view key) const {
  size_t lo = 0, hi = n_;
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    const std::string_view at = Str(originals_, mid);
    if (at == key) return int(mid);
    if (at < key) lo = mid + 1;
    else hi = mid;
  }
  return -1;
}

namespace {
std::string Key(std::string_view context, std::string_view text) {
  std::string key;
  if (!context.empty()) key.append(context).push_back(kContextEnd);
  return key.append(text);
}
}  // namespace

std::string_view Catalogue::Get(std::string_view context, std::string_view text) const {
  if (text.empty() || n_ == 0) return text;  // the original "" is the header
  const int i = Find(Key(context, text));
  if (i < 0) return text;
  const std::string_view t = Str(translations_, size_t(i));
  return t.empty() ? text : t;
}

bool Catalogue::Has(std::string_view context, std::string_view text) const {
  return !text.empty() && Find(Key(context, text)) >= 0;
}

Catalogue::Entry Catalogue::At(size_t i) const {
  Entry e{{}, Str(originals_, i), Str(translations_, i)};
  if (const size_t end = e.text.find(kContextEnd); end != std::string_view::npos) {
    e.context = e.text.substr(0, end);
    e.text.remove_prefix(end + 1);
  }
  return e;
}

std::string Catalogue::Header(std::string_view field) const {
  const int i = n_ ? Find("") : -1;
  if (i < 0) return "";
  const std::string_view h = Str(translations_, size_t(i));
  for (size_t at = 0; at < h.size();) {
    size_t end = h.find('\n', at);
    if (end == std::string_view::npos) end = h.size();
    const std::string_view line = h.substr(at, end - at);
    if (line.size() > field.size() && line.substr(0, field.size()) == field && line[field.size()] == ':') {
      std::string_view v = line.substr(field.size() + 1);
      while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
      while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
      return std::string(v);
    }
    at = end + 1;
  }
  return "";
}

}  // namespace plat
