// The range-checked game record: a value out of its field's range or an index
// out of bounds is a fatal error naming the field; strength and score stop at
// the top of their fields instead. Its one list of fields names them and
// feeds the replay digest and the tests' dump.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

#include "replay/Replay.h"
#include "tests/Play.h"

using pktest::Game;

namespace {

template <class T>
constexpr bool kIsArr = false;
template <class T, int N0, int N1, int N2>
constexpr bool kIsArr<pk::Arr<T, N0, N1, N2>> = true;

// Calls act on the n-th field of the record (on its element `last` ? last :
// first, for an array); the field's kind.
template <class Act>
pk::FieldKind OnField(pk::Form1& f, int n, bool last, Act act) {
  pk::FieldKind kind{};
  int at = 0;
  f.EachField([&](const char* name, auto& field, pk::FieldKind k) {
    if (at++ != n) return;
    kind = k;
    if constexpr (kIsArr<std::remove_cvref_t<decltype(field)>>) act(name, last ? *(field.end() - 1) : *field.begin());
    else act(name, field);
  });
  return kind;
}

int FieldCount(const pk::Form1& f) {
  int n = 0;
  f.EachField([&](const char*, const auto&, pk::FieldKind) { ++n; });
  return n;
}

// Another value than the present one, within the field's range.
template <class T>
void Change(T& v) {
  if constexpr (std::is_same_v<T, std::string>) v += "x";
  else if constexpr (std::is_integral_v<T>) v ^= 1;
  else v = v == T::kHi ? v - 1 : v + 1;
}

}  // namespace

// The list misses no field: the fields it visits lie one after another from
// the start of the window to the machine that follows the record, so a field
// declared but not listed leaves a gap.
TEST(Record, EachFieldVisitsEveryFieldInOrder) {
  Game g;
  uintptr_t end = reinterpret_cast<uintptr_t>(&g.f);
  std::string before = "the start of the window";
  auto aligned = [](uintptr_t at, size_t align) { return (at + align - 1) / align * align; };
  g.f.EachField([&](const char* name, auto& field, pk::FieldKind) {
    const uintptr_t at = reinterpret_cast<uintptr_t>(&field);
    EXPECT_EQ(at, aligned(end, alignof(decltype(field))))
        << name << " does not follow " << before << ": a field between them is missing from EachField";
    end = at + sizeof(field), before = name;
  });
  EXPECT_EQ(aligned(end, alignof(plat::Platform*)) + sizeof(plat::Platform*), reinterpret_cast<uintptr_t>(&g.f.Timer1))
      << "a field after " << before << " is missing from EachField";
}

// Every field's store is checked under its own name, arrays to their last
// element.
TEST(Record, EveryCheckedFieldIsNamedByTheList) {
  Game g;
  int checked = 0;
  for (int n = 0; n < FieldCount(g.f); ++n)
    for (bool last : {false, true})
      OnField(g.f, n, last, [&](const char* name, auto& v) {
        using T = std::remove_cvref_t<decltype(v)>;
        if constexpr (requires { T::kHi; }) {
          ++checked;
          try {
            v = T::kHi, ++v;
            ADD_FAILURE() << name << ": an overflow went unnoticed";
          } catch (const pk::FatalError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("overflow: ") + name + " = "), std::string::npos)
                << e.what();
          }
        }
      });
  EXPECT_GT(checked, 60);
}

// The dump shows every field on a line of its own, and every element of an
// array, the deepest included.
TEST(Record, TheDumpShowsEveryFieldAndElement) {
  Game g;
  g.f.HenSyoki();
  g.f.Jmsg(4, 9, 4) = "deepest";
  g.f.PikoraLv(9, 14) = -4242;
  std::istringstream dump(pktest::DumpRecord(g.f));
  std::vector<std::string> lines;
  for (std::string l; std::getline(dump, l);) lines.push_back(l);
  ASSERT_EQ(int(lines.size()), FieldCount(g.f));
  EXPECT_TRUE(lines[2].ends_with(" \"deepest\"")) << lines[2];
  EXPECT_TRUE(lines[19].starts_with("PikoraLv ") && lines[19].ends_with(" -4242")) << lines[19];
  EXPECT_NE(pktest::DumpRecord(g.f).find("AppPath \"/opt/pikora/\""), std::string::npos);
}

// Any field play makes, changed alone, changes the replay digest: the first
// and the last element of each. What the machine and the look give (the
// program's folder, the colours) does not, so a replay verifies anywhere.
TEST(Record, EveryFieldOfPlayAndNothingElseMovesTheDigest) {
  Game g;
  g.f.HenSyoki();
  const std::string digest = replay::RecordDigest(g.f), dump = pktest::DumpRecord(g.f);
  int given = 0;
  for (int n = 0; n < FieldCount(g.f); ++n)
    for (bool last : {false, true}) {
      std::string name, changed, changedDump;
      const pk::FieldKind kind = OnField(g.f, n, last, [&](const char* nm, auto& v) {
        const auto was = v;
        Change(v);
        name = nm, changed = replay::RecordDigest(g.f), changedDump = pktest::DumpRecord(g.f);
        v = was;
      });
      ASSERT_NE(changedDump, dump) << name << " did not change";
      if (kind == pk::FieldKind::kPlay) {
        EXPECT_NE(changed, digest) << name << (last ? ", last element" : "");
      } else {
        EXPECT_EQ(changed, digest) << name;
        ++given;
      }
    }
  ASSERT_EQ(replay::RecordDigest(g.f), digest) << "a field was not put back";
  EXPECT_EQ(given, 2 * 3) << "the folder and the two colours";

  // Elements inside the arrays count too, not only their ends.
  struct Case {
    const char* what;
    void (*change)(pk::Form1&);
  };
  const Case cases[] = {
      {"Jmsg(2, 7, 3)", [](pk::Form1& f) { f.Jmsg(2, 7, 3) += "!"; }},
      {"Jnouryoku(3, 2, 1)", [](pk::Form1& f) { ++f.Jnouryoku(3, 2, 1); }},
      {"PikoraHp(5, 8)", [](pk::Form1& f) { --f.PikoraHp(5, 8); }},
      {"PikoraChip(2, 1)", [](pk::Form1& f) { ++f.PikoraChip(2, 1); }},
      {"Jkioku(1, 4)", [](pk::Form1& f) { ++f.Jkioku(1, 4); }},
      {"SigotoMei(5)", [](pk::Form1& f) { f.SigotoMei(5).clear(); }},
      {"PosY", [](pk::Form1& f) { ++f.PosY; }},
  };
  for (const Case& c : cases) {
    Game h;
    h.f.HenSyoki();
    c.change(h.f);
    EXPECT_NE(replay::RecordDigest(h.f), digest) << c.what;
  }
}

TEST(Record, OverflowAndBadIndexAreFatalAndNameTheField) {
  Game g;
  g.f.HenSyoki();
  g.f.Jikan = 32767;
  EXPECT_THROW(g.f.Jikan += 1, pk::FatalError);
  EXPECT_EQ(g.f.Jikan, 32767) << "a failed store must leave the field as it was";
  EXPECT_THROW(g.f.Mode = -1, pk::FatalError);
  EXPECT_THROW(g.f.PikoraSyu(10, 0), pk::FatalError);
  EXPECT_THROW(g.f.Jnouryoku(0, 6, 0), pk::FatalError);
  EXPECT_NO_THROW(g.f.PikoraSyu(9, 14));
  g.f.Jsigoto(0) = 6, g.f.Jnow = 0;
  EXPECT_THROW(g.f.Kyoka(), pk::FatalError) << "a permit with no request waiting";
}

TEST(Record, StrengthAndScoreStopAt32767) {
  Game g;
  g.f.HenSyoki();
  g.EmptyPen();
  g.Put(0, 0, 4, 32765);
  g.f.Esa = 10;
  g.f.TrainingPass(2);
  g.f.TrainingPass(2);
  EXPECT_EQ(g.f.PikoraLv(0, 0), 32767);
  g.f.Score = 32700, g.f.Jnow = 2;
  g.f.Pikora();
  EXPECT_EQ(g.f.Score, 32767);
  EXPECT_EQ(g.f.Sikin, 2000 + 999) << "a price stops at 999";
}
