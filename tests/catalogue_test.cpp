// The catalogue reader and the choice of language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>

#include "platform/Languages.h"

namespace {

// A .mo file as msgfmt lays it out (sorted originals, NUL-ended strings), in
// either byte order.
std::vector<uint8_t> MakeMo(std::map<std::string, std::string> entries, bool bigEndian = false, bool reversed = false) {
  const uint32_t n = uint32_t(entries.size()), originals = 28, translations = originals + 8 * n;
  std::vector<uint8_t> out(translations + 8 * n);
  auto put = [&](size_t at, uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + size_t(b)] = uint8_t(v >> (bigEndian ? 24 - 8 * b : 8 * b));
  };
  put(0, 0x950412de);
  put(8, n);
  put(12, originals);
  put(16, translations);
  size_t i = reversed ? n - 1 : 0;
  for (const auto& [key, value] : entries) {
    for (const auto& [table, s] : {std::pair{originals, key}, std::pair{translations, value}}) {
      put(table + 8 * i, uint32_t(s.size()));
      put(table + 8 * i + 4, uint32_t(out.size()));
      out.insert(out.end(), s.begin(), s.end());
      out.push_back(0);
    }
    i = reversed ? i - 1 : i + 1;
  }
  return out;
}

const std::map<std::string, std::string> kEntries = {
    {"", "Project-Id-Version: test\nLanguage: en\nContent-Type: text/plain; charset=UTF-8\n"},
    {"えさ", "Feed?"},
    {"shop\4えさ", "Feed"},
    {"status\4えさ", "Food"},
    {"Shopin\4わーい！", "Yay!"},
    {"Misa\4はい\nいいえ", "Yes,\nno"},
    {"eggs\0eggs-plural", std::string("one egg\0many eggs", 17)},
};

TEST(Catalogue, FindsEachTextInItsContext) {
  for (bool big : {false, true}) {
    const auto mo = MakeMo(kEntries, big);
    plat::Catalogue c;
    std::string why;
    ASSERT_TRUE(c.Load(mo, why)) << why;
    EXPECT_EQ(c.Get("shop", "えさ"), "Feed");
    EXPECT_EQ(c.Get("status", "えさ"), "Food");
    EXPECT_EQ(c.Get("", "えさ"), "Feed?");
    EXPECT_EQ(c.Get("Misa", "はい\nいいえ"), "Yes,\nno");
    EXPECT_EQ(c.Get("Shopin", "わーい！"), "Yay!");
    EXPECT_EQ(c.Get("Pau", "わーい！"), "わーい！");  // another speaker has no such line
    EXPECT_EQ(c.Get("shop", "ﾀﾏｺﾞ"), "ﾀﾏｺﾞ");      // untranslated: as it is
    EXPECT_EQ(c.Get("", ""), "");                    // never the header
    EXPECT_EQ(c.Get("", "eggs"), "one egg");         // the first of plural forms
    EXPECT_TRUE(c.Has("shop", "えさ"));
    EXPECT_FALSE(c.Has("shop", "ﾀﾏｺﾞ"));
    EXPECT_EQ(c.Header("Language"), "en");
    EXPECT_EQ(c.Header("Lang"), "");
    ASSERT_EQ(c.Size(), kEntries.size());
    bool found = false;
    for (size_t i = 0; i < c.Size(); ++i) {
      const auto e = c.At(i);
      if (e.context == "status") found = e.text == "えさ" && e.translation == "Food";
      if (i == 0) {
        EXPECT_EQ(e.text, "");
      }
    }
    EXPECT_TRUE(found);
  }
  // With no header, the first entry is found like any other.
  const auto bareMo = MakeMo({{"a", "b"}});  // the catalogue reads it in place
  plat::Catalogue bare;
  std::string why;
  ASSERT_TRUE(bare.Load(bareMo, why)) << why;
  EXPECT_TRUE(bare.Has("", "a"));
  EXPECT_EQ(bare.Get("", "a"), "b");
  EXPECT_EQ(bare.Header("Language"), "");
}

TEST(Catalogue, EmptyOneKeepsEveryText) {
  plat::Catalogue c;
  EXPECT_EQ(c.Get("shop", "えさ"), "えさ");
  EXPECT_EQ(c.Size(), 0u);
  EXPECT_EQ(c.Header("Language"), "");
}

// The header as msgfmt and editors spell it: the charset in either case,
// lines ending in CR LF, blanks around a value, no Content-Type at all; a
// charset other than UTF-8 is refused however it is spelled.
TEST(Catalogue, TheHeaderIsReadInEverySpelling) {
  const struct {
    std::string header;
    bool loads;
    std::string language;
  } cases[] = {
      {"Language: en\nContent-Type: text/plain; charset=UTF-8\n", true, "en"},
      {"Language: en\nContent-Type: text/plain; charset=utf-8\n", true, "en"},
      {"Language:\ten \r\nContent-Type:  text/plain; charset=Utf-8\r\n", true, "en"},
      {"Content-Type: text/plain; charset=UTF-8\nLanguage: en", true, "en"},  // no newline at its end
      {"Language: en\n", true, "en"},
      {"Language:en\n", true, "en"},
      {"Language: en\nLanguage-Team: none\n", true, "en"},
      {"Language-Team: en\n", true, ""},
      {"Content-Type: text/plain; charset=euc-jp\n", false, ""},
      {"Content-Type: text/plain; charset=UTF-16\n", false, ""},
  };
  for (const auto& c : cases) {
    plat::Catalogue cat;
    std::string why;
    const std::vector<uint8_t> mo = MakeMo({{"", c.header}, {"a", "b"}});  // the catalogue reads it in place
    EXPECT_EQ(cat.Load(mo, why), c.loads) << c.header << why;
    EXPECT_EQ(cat.Header("Language"), c.language) << c.header;
    EXPECT_EQ(cat.Get("", "a"), c.loads ? "b" : "a") << c.header;
  }
}

// Each fault is refused with a reason and leaves an empty catalogue.
TEST(Catalogue, RefusesDamagedFiles) {
  const auto good = MakeMo(kEntries);
  auto word = [](std::vector<uint8_t> mo, size_t at, uint32_t v) {
    std::memcpy(mo.data() + at, &v, 4);
    return mo;
  };
  auto read = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, good.data() + at, 4);
    return v;
  };
  // The first two entries swapped in both tables: only that pair is out of order.
  auto firstTwoSwapped = good;
  for (size_t table : {size_t(28), size_t(28 + 8 * kEntries.size())})
    std::swap_ranges(firstTwoSwapped.begin() + long(table), firstTwoSwapped.begin() + long(table + 8),
                     firstTwoSwapped.begin() + long(table + 8));
  const struct {
    const char* what;
    std::vector<uint8_t> mo;
    const char* why;
  } cases[] = {
      {"empty", {}, "too short for a catalogue"},
      {"short", std::vector<uint8_t>(good.begin(), good.begin() + 27), "too short for a catalogue"},
      {"bad magic", word(good, 0, 0x12345678), "not a compiled gettext catalogue (.mo)"},
      {"unknown revision", word(good, 4, 0x00010000), "a catalogue of an unknown revision"},
      {"count past the end", word(good, 8, 0x10000000), "its tables run past its end"},
      {"table past the end", word(good, 12, uint32_t(good.size())), "its tables run past its end"},
      {"translations past the end", word(good, 16, uint32_t(good.size() - 8 * kEntries.size() + 1)),
       "its tables run past its end"},
      {"table out of step", word(good, 16, 30), "its tables run past its end"},
      {"string past the end", word(good, 28 + 4, uint32_t(good.size())), "entry 0 runs past its end"},
      {"length past the end", word(good, 28, 0xfffffff0), "entry 0 runs past its end"},
      {"no NUL", word(good, 28 + 8, 1), "entry 1 runs past its end"},  // an original cut short: no NUL after it
      {"unsorted", MakeMo(kEntries, false, true), "its entries are not sorted (entry 1)"},
      {"first two unsorted", firstTwoSwapped, "its entries are not sorted (entry 1)"},
      {"an original twice", word(word(good, 28 + 16, read(28 + 8)), 28 + 20, read(28 + 12)),
       "its entries are not sorted (entry 2)"},
      {"not UTF-8", MakeMo({{"", "Content-Type: text/plain; charset=EUC-JP\n"}, {"a", "b"}}),
       "written in EUC-JP, not UTF-8"},
  };
  for (const auto& c : cases) {
    plat::Catalogue cat;
    std::string why;
    EXPECT_FALSE(cat.Load(c.mo, why)) << c.what;
    EXPECT_EQ(why, c.why) << c.what;
    EXPECT_EQ(cat.Size(), 0u) << c.what;
    EXPECT_EQ(cat.Get("shop", "えさ"), "えさ") << c.what;
  }
  // At the edges and still taken: the header alone (28 bytes, no entry), a
  // minor revision, and a table that ends where the file does.
  auto tableLast = [&](size_t offsetAt) {
    auto mo = good;
    mo.resize((good.size() + 3) / 4 * 4);  // a table starts on a word
    const size_t from = offsetAt == 12 ? 28 : 28 + 8 * kEntries.size(), last = mo.size();
    mo.insert(mo.end(), good.begin() + long(from), good.begin() + long(from + 8 * kEntries.size()));
    return word(mo, offsetAt, uint32_t(last));
  };
  const std::pair<const char*, std::vector<uint8_t>> taken[] = {
      {"header alone", MakeMo({})},
      {"minor revision", word(good, 4, 0x0000ffff)},
      {"originals last", tableLast(12)},
      {"translations last", tableLast(16)},
  };
  for (const auto& [what, mo] : taken) {
    plat::Catalogue cat;
    std::string why;
    EXPECT_TRUE(cat.Load(mo, why)) << what << ": " << why;
    EXPECT_EQ(cat.Size(), mo.size() == 28 ? 0u : kEntries.size()) << what;
    EXPECT_EQ(cat.Get("shop", "えさ"), mo.size() == 28 ? "えさ" : "Feed") << what;
  }
}

// Bytes flipped anywhere: the reader refuses them or reads only inside the
// file (the sanitized build sees any stray read).
TEST(Catalogue, SurvivesFlippedBytes) {
  const auto good = MakeMo(kEntries);
  std::mt19937 rng(7);
  int loaded = 0;
  for (int round = 0; round < 3000; ++round) {
    auto mo = good;
    for (int k = 0, flips = 1 + int(rng() % 4); k < flips; ++k) mo[rng() % mo.size()] ^= uint8_t(1 + rng() % 255);
    plat::Catalogue c;
    std::string why;
    if (!c.Load(mo, why)) continue;
    ++loaded;
    for (size_t i = 0; i < c.Size(); ++i) {
      const auto e = c.At(i);
      if (!e.context.empty()) {
        EXPECT_TRUE(c.Has(e.context, e.text));
      }
      (void)c.Get(e.context, e.text);
    }
    (void)c.Get("shop", "えさ");
    (void)c.Header("Language");
  }
  EXPECT_GT(loaded, 0);
}

TEST(Languages, ChoosesAsGettextDoes) {
  const auto en = MakeMo({{"", "Language: en\n"}, {"language\4日本語", "English"}});
  const auto de = MakeMo({{"", "Language: de\n"}, {"language\4日本語", "Deutsch"}});
  std::string why;
  const plat::Languages langs({{"de", de}, {"en", en}, {"xx", std::span<const uint8_t>()}}, why);
  EXPECT_NE(why.find("xx"), std::string::npos);  // the damaged one is named and left out
  ASSERT_EQ(langs.Count(), 3u);
  EXPECT_EQ(langs[0].Name(), "日本語");
  EXPECT_EQ(langs[2].Name(), "English");
  EXPECT_EQ(langs.Next(2), 0u);

  for (const auto& [code, want] : std::vector<std::pair<const char*, int>>{
           {"ja", 0}, {"C", 0}, {"POSIX", 0}, {"C.UTF-8", 0}, {"en", 2}, {"en_GB", 2}, {"en_US.UTF-8", 2},
           {"de_DE@euro", 1}, {"de_AT.ISO-8859-1@euro", 1}, {"fr", -1}, {"", 0}, {"e", -1}, {"_en", -1}})
    EXPECT_EQ(langs.Find(code), want) << code;

  const struct {
    std::map<std::string, std::string> env;
    size_t want;
  } cases[] = {
      {{}, 0},
      {{{"LANG", "en_US.UTF-8"}}, 2},
      {{{"LANG", "C"}}, 0},
      {{{"LANG", "fr_FR.UTF-8"}}, 0},                                    // no catalogue: Japanese
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}, 1},    // LC_MESSAGES before LANG
      {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, 2},
      {{{"LC_ALL", "C"}, {"LANG", "en_US.UTF-8"}}, 0},                   // LC_ALL before both
      {{{"LC_ALL", "en_US.UTF-8"}, {"LANG", "C"}}, 2},
      {{{"LC_ALL", "de_DE.UTF-8"}, {"LC_MESSAGES", "en_US.UTF-8"}}, 1},
      {{{"LC_ALL", "en_US.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}, 2},
      {{{"LC_ALL", ""}, {"LANG", "en_US.UTF-8"}}, 2},                    // empty is unset
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de"}}, 1},                // LANGUAGE first
      {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "en"}}, 2},
      {{{"LANG", "C"}, {"LC_MESSAGES", "de_DE.UTF-8"}, {"LANGUAGE", "en"}}, 2},
      {{{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "fr:pt_BR::de:en"}}, 1},   // the first it has
      {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr:ja:en"}}, 0},          // Japanese asked for
      {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "fr"}}, 1},                // then the locale
      {{{"LANGUAGE", "en"}}, 0},                                         // ignored in the C locale
      {{{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "en"}}, 0},
  };
  for (const auto& c : cases) {
    auto get = [&](const char* name) -> const char* {
      auto it = c.env.find(name);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    std::string said;
    for (const auto& [k, v] : c.env) said += k + "=" + v + " ";
    EXPECT_EQ(langs.FromEnvironment(get), c.want) << said;
  }
}

}  // namespace
