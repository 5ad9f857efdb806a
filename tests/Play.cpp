#include "tests/Play.h"

namespace pktest {

uint64_t RandomPlayer::Next() {
  uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void RandomPlayer::Feed(plat::Headless& hp, const pk::Form1& f) {
  if (hp.Pending() > 0) return;
  // Mostly short gaps, so keys often land inside a wait; sometimes long ones.
  uint32_t gap = Next() % 8 == 0 ? uint32_t(Next() % 6000) : uint32_t(Next() % 700);
  uint32_t at = hp.Ticks() + gap;
  int r = int(Next() % 10000);
  int key;
  // Answers only while a request waits, leaning on what is asked; otherwise
  // any key, the answer keys included (they do nothing then).
  const bool asking = f.Mode == 1;
  const bool purchase = asking && f.Jsigoto(f.Jnow) <= 1;
  if (asking && r < 8000) key = int(Next() % 10000) < (purchase ? buy_ : permit_) ? plat::kKeyLeft : plat::kKeyRight;
  else if (r < 2000) key = Next() % 2 ? plat::kKeyLeft : plat::kKeyRight;
  else if (r < 3000) key = plat::kKeyUp;  // Down more often: big trips bankrupt at once
  else if (r < 7500) key = plat::kKeyDown;
  else if (r < 9996) key = "AZ09 \r"[Next() % 6];
  else if (r < 9999) key = plat::kKeyEscape;
  else key = -1;
  presses_.push_back({at, key});
  if (key < 0) hp.ClickAt(at, 16 + int(Next() % 768), 12 + int(Next() % 576));
  else hp.KeyAt(at, key);
}

std::string RandomPlayer::Script() const {
  std::ostringstream o;
  for (const Press& p : presses_) o << p.at << ':' << (p.key < 0 ? std::string("click") : std::to_string(p.key)) << ' ';
  return o.str();
}

std::string DumpRecord(pk::Form1& f) {
  std::ostringstream o;
  for (int s = 0; s <= 4; ++s) {
    o << "staff " << s << ' ' << f.Jname(s) << ' ' << f.Jsigoto(s) << ' ' << f.Jtairyoku(s) << ' '
      << f.Jkeika(s) << ' ' << f.Jhirou(s) << ' ' << f.Jkikan(s) << " mem";
    for (int k = 0; k <= 5; ++k) o << ' ' << f.Jkioku(s, k);
    o << " abil";
    for (int j = 0; j <= 5; ++j) o << ' ' << f.Jnouryoku(s, j, 0) << '/' << f.Jnouryoku(s, j, 1);
    o << '\n';
  }
  o << "Jnow " << f.Jnow << " Kaimono " << f.KaimonoKazu << " Jikan " << f.Jikan << " Sikin " << f.Sikin
    << " Esa " << f.Esa << " Score " << f.Score << " AniFlip " << f.AniFlip << " Kazu " << f.PikoraKazu
    << " Mode " << f.Mode << " EDpage " << f.EDpage << " EDflag " << f.EDflag << " Irai " << f.Irai
    << " Ransu " << f.Ransu << '\n';
  for (int r = 0; r <= 14; ++r) {
    for (int c = 0; c <= 9; ++c)
      o << f.PikoraSyu(c, r) << ',' << f.PikoraHp(c, r) << ',' << f.PikoraLv(c, r) << ' ';
    o << '\n';
  }
  return o.str();
}

}  // namespace pktest
