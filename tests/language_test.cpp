// The game in another language: what it shows comes from the catalogues, and
// a language chosen on the pause screen redraws every word as a game played
// in it from the start would show it, changing nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

#include "app/Options.h"
#include "app/Shell.h"
#include "platform/kit/Comfort.h"
#include "platform/kit/Pictures.h"
#include "platform/headless/Headless.h"
#include "tests/Env.h"
#include "tests/Play.h"

namespace {

// A game driven by a random player until `when` holds.
struct Driven {
  explicit Driven(uint64_t seed, const char* lang) : g(seed), player(seed) {
    EXPECT_TRUE(g.hp.Speak(lang));
    g.f.Form_Load();
  }
  bool RunUntil(const std::function<bool(pk::Form1&)>& when) {
    for (int steps = 0; steps < 200000 && !g.f.Ended(); ++steps) {
      if (when(g.f)) return true;
      player.Feed(g.hp, g.f);
      if (!g.f.Step()) break;
    }
    return false;
  }
  pktest::Game g;
  pktest::RandomPlayer player;
};

struct Moment {
  const char* what;
  std::function<bool(pk::Form1&)> when;
};

// At each moment a game in Japanese is paused, switched to English with L and
// resumed: its screen must then be the screen of the same game played in
// English from the start, and its record the same.
TEST(Language, ChosenOnThePauseScreenRedrawsAsIfPlayedInIt) {
  const Moment moments[] = {
      {"play", [](pk::Form1& f) { return f.Mode == pk::kPlaying && f.Timer1.Interval() == 0 && f.Jikan < 3800; }},
      {"request", [](pk::Form1& f) { return f.Mode == pk::kAsking; }},
      {"staff away", [](pk::Form1& f) { return f.Mode == pk::kPlaying && f.Jsigoto(0) == pk::kTrain; }},
      {"bankruptcy", [](pk::Form1& f) { return f.Mode == pk::kBankrupt; }},
      {"greeting", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 0; }},
      {"page 1 skipped", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 2 && f.EDflag == 0; }},
      {"sale page", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 2 && f.EDflag == 1; }},
      {"owner's last page", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 6; }},
      {"logo page", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 7; }},
      {"maker's page", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 8; }},
      {"closing picture", [](pk::Form1& f) { return f.Mode == pk::kEndRoll && f.EDpage == 9; }},
  };
  for (const Moment& m : moments) {
    SCOPED_TRACE(m.what);
    uint64_t seed = 1;
    while (seed < 400 && !Driven(seed, "en").RunUntil(m.when)) ++seed;
    ASSERT_LT(seed, 400u) << "no game reaches the moment";
    Driven english(seed, "en"), switched(seed, "ja");
    ASSERT_TRUE(english.RunUntil(m.when));
    ASSERT_TRUE(switched.RunUntil(m.when));
    ASSERT_EQ(pktest::DumpRecord(switched.g.f), pktest::DumpRecord(english.g.f));
    // P, L, P before any key still waiting: the game sees none of them.
    for (int key : {'P', 'L', 'P'}) switched.g.hp.KeyAt(0, key);
    ASSERT_TRUE(switched.g.f.Step());
    EXPECT_EQ(switched.g.hp.Language(), english.g.hp.Language());
    EXPECT_EQ(pktest::DumpRecord(switched.g.f), pktest::DumpRecord(english.g.f)) << "the redraw changed the record";
    for (int d : {0, 2})
      EXPECT_TRUE(switched.g.hp.Display(d).Pixels() == english.g.hp.Display(d).Pixels()) << "surface " << d;
    if (switched.g.hp.Display(0).Pixels() != english.g.hp.Display(0).Pixels()) {
      plat::SavePng(switched.g.hp.Display(0), std::string("/tmp/pikora-retell-") + m.what + "-switched.png");
      plat::SavePng(english.g.hp.Display(0), std::string("/tmp/pikora-retell-") + m.what + "-english.png");
    }
  }
}

// Switched while the title shows: the play screen comes in the new language.
TEST(Language, ChosenDuringTheIntro) {
  Driven english(5, "en"), switched(5, "ja");
  for (int key : {'P', 'L', 'P'}) switched.g.hp.KeyAt(2500, key);
  auto played = [](pk::Form1& f) { return f.Timer1.Interval() == 0; };
  ASSERT_TRUE(english.RunUntil(played));
  ASSERT_TRUE(switched.RunUntil(played));
  ASSERT_TRUE(switched.g.f.Step());  // the game hears of the language
  EXPECT_EQ(pktest::DumpRecord(switched.g.f), pktest::DumpRecord(english.g.f));
  EXPECT_TRUE(switched.g.hp.Display(0).Pixels() == english.g.hp.Display(0).Pixels());
}

// Every text the game prints, gathered over whole games.
class Gathered : public plat::DrawSink {
 public:
  explicit Gathered(plat::Headless& hp) {
    for (int i = 0; i <= 2; ++i) hp.Display(i).sink = this;
  }
  void Copied(const plat::Surface&, int, int, int, int, const plat::Surface&, int, int) override {}
  void Boxed(const plat::Surface&, int, int, int, int, plat::Color, bool) override {}
  void Filled(const plat::Surface&, plat::Color) override {}
  void Printed(const plat::Surface&, const std::string& utf8) override { texts.insert(utf8); }
  std::set<std::string> texts;
};

std::set<std::string> PrintedIn(const char* lang) {
  std::set<std::string> all;
  // The pause screen and the volume band, muted or not.
  plat::Surface game(plat::Platform::kSurfW, plat::Platform::kSurfH), out;
  plat::Headless hp;
  Gathered overlay(hp);
  out.sink = &overlay;
  const size_t language = size_t(plat::CarriedLanguages().Find(lang));
  for (bool muted : {false, true}) plat::DrawOverlay(game, plat::OverlayView{true, 5, muted, language, false, "", 0, {}}, out);
  // F12's notes, the file's name standing as its %s.
  for (const char* name : {"", "%s"}) {
    plat::OverlayView v;
    v.language = language, v.shot = true, v.shotName = name;
    plat::DrawOverlay(game, v, out);
  }
  all.insert(overlay.texts.begin(), overlay.texts.end());
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    Driven d(seed, lang);
    Gathered p(d.g.hp);
    d.RunUntil([](pk::Form1&) { return false; });
    all.insert(p.texts.begin(), p.texts.end());
  }
  return all;
}

// The lines of every text of a catalogue: the originals or the translations.
std::set<std::string> LinesOf(const plat::Catalogue& c, bool translations) {
  std::set<std::string> lines;
  for (size_t i = 0; i < c.Size(); ++i) {
    const auto e = c.At(i);
    if (e.text.empty() || e.context == "console") continue;
    std::string_view t = translations ? e.translation : e.text;
    for (;;) {
      const size_t nl = t.find('\n');
      lines.emplace(t.substr(0, nl));
      if (nl == std::string_view::npos) break;
      t.remove_prefix(nl + 1);
    }
  }
  return lines;
}

// Shown as it is, or with the language's name standing for its %s.
bool Known(const std::set<std::string>& lines, std::string t, const plat::Language& lang) {
  if (lines.count(t)) return true;
  const size_t at = t.find(lang.Name());
  return at != std::string::npos && lines.count(t.replace(at, lang.Name().size(), "%s"));
}

bool IsNumber(const std::string& s) {
  return s.size() >= 2 && (s[0] == ' ' || s[0] == '-') && s.find_first_not_of("0123456789", 1) == std::string::npos;
}

// What the game shows in Japanese is all in the template, so nothing escapes
// the translators; in English it is all English from the catalogue.
TEST(Language, EveryTextShownComesFromTheCatalogues) {
  std::ifstream in(PIKORA_BUILD_DIR "/po/template.mo", std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  plat::Catalogue pot;
  std::string why;
  ASSERT_TRUE(pot.Load(bytes, why)) << PIKORA_BUILD_DIR "/po/template.mo: " << why;
  const std::set<std::string> japanese = LinesOf(pot, false);
  int shown = 0;
  for (const std::string& t : PrintedIn("ja")) {
    if (IsNumber(t)) continue;
    ++shown;
    EXPECT_TRUE(Known(japanese, t, plat::CarriedLanguages()[0])) << "shown but not in po/pikora.pot: \"" << t << "\"";
  }
  EXPECT_GT(shown, 60) << "too few texts met to judge";

  const plat::Languages& langs = plat::CarriedLanguages();
  const plat::Language& en = langs[size_t(langs.Find("en"))];
  const std::set<std::string> english = LinesOf(en.words, true);
  for (const std::string& t : PrintedIn("en"))
    EXPECT_TRUE(IsNumber(t) || Known(english, t, en)) << "shown in English but not an English text: \"" << t << "\"";
}

// L is the platform's only on the pause screen; the game hears of the new
// language once, when play goes on.
TEST(Language, LMovesOnOnlyWhilePaused) {
  struct Host : plat::Comfort::Host {
    size_t CurrentLanguage() const override { return now; }
    void ChooseLanguage(size_t i) override { chosen.push_back(now = i); }
    void Retell() override { ++told; }
    size_t now = 0;
    std::vector<size_t> chosen;
    int told = 0;
  } host;
  plat::Comfort c(host);
  const plat::Event l{plat::Event::KeyDown, 'L', 0, 0};
  EXPECT_TRUE(c.Take(l, plat::KeyAction('L', false), 0)) << "outside the pause L is a game key";
  c.Act(plat::Action::Pause, 10);
  const size_t n = plat::CarriedLanguages().Count();
  for (size_t k = 1; k <= n; ++k) EXPECT_FALSE(c.Take(l, plat::KeyAction('L', false), 20));
  ASSERT_EQ(host.chosen.size(), n);
  EXPECT_EQ(host.chosen.front(), 1u % n);
  EXPECT_EQ(host.chosen.back(), 0u) << "the last step comes round to Japanese";
  EXPECT_EQ(c.View(20).language, 0u);
  EXPECT_EQ(host.told, 0) << "told only when play goes on";
  c.Act(plat::Action::Pause, 30);
  EXPECT_EQ(host.told, 1);
  c.Act(plat::Action::Pause, 40);
  c.Act(plat::Action::Pause, 50);
  EXPECT_EQ(host.told, 1) << "a pause without L tells nothing";
}

TEST(Language, CommandLineSettingsAndEnvironment) {
  app::Options o;
  std::string error;
  auto parse = [&](std::vector<const char*> args) {
    args.insert(args.begin(), "pikora");
    return app::ParseOptions(int(args.size()), args.data(), o, error);
  };
  ASSERT_TRUE(parse({"--lang", "en"}));
  EXPECT_EQ(o.lang, "en");
  ASSERT_TRUE(parse({"--lang=en_GB.UTF-8"}));
  EXPECT_EQ(o.lang, "en_GB.UTF-8");
  for (std::vector<const char*> bad : std::vector<std::vector<const char*>>{{"--lang"}, {"--lang="}, {"--lang", "e n"}, {"--lang", "en;rm"}})
    EXPECT_FALSE(parse(bad)) << bad.back();

  const size_t en = size_t(plat::CarriedLanguages().Find("en"));
  pktest::Env env;
  for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.Set(v, nullptr);
  const struct {
    const char* asked;  // --lang, or null
    const char* kept;   // the settings' entry
    const char* lang;   // LANG
    size_t want;
    bool wrong;
  } cases[] = {
      {nullptr, "", "C", 0, false},
      {nullptr, "", "en_US.UTF-8", en, false},
      {nullptr, "ja", "en_US.UTF-8", 0, false},     // the settings before the environment
      {nullptr, "en", "C", en, false},
      {nullptr, "xx", "en_US.UTF-8", en, false},    // an unknown entry gives way
      {"ja", "en", "en_US.UTF-8", 0, false},        // the command line before all
      {"en_AU.UTF-8", "", "C", en, false},
      {"xx", "", "en_US.UTF-8", en, true},          // said in the language otherwise chosen
  };
  for (const auto& c : cases) {
    env.Set("LANG", c.lang);
    std::string why;
    const std::optional<std::string> asked = c.asked ? std::optional<std::string>(c.asked) : std::nullopt;
    EXPECT_EQ(app::ChooseLanguage(asked, c.kept, why), c.want) << (c.asked ? c.asked : "-") << " " << c.kept << " " << c.lang;
    EXPECT_EQ(!why.empty(), c.wrong) << why;
    if (c.wrong) {
      EXPECT_NE(why.find("xx"), std::string::npos) << why;
    }
  }
}

}  // namespace
