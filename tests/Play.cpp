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

namespace {

// One field as the dump shows it: numbers as they are, texts quoted.
void Put(std::ostream& o, int64_t v) { o << ' ' << v; }
void Put(std::ostream& o, const std::string& s) { o << " \"" << s << '"'; }
template <class T, int N0, int N1, int N2>
void Put(std::ostream& o, const pk::Arr<T, N0, N1, N2>& a) {
  for (const T& e : a) Put(o, e);
}

}  // namespace

std::string DumpRecord(const pk::Form1& f) {
  std::ostringstream o;
  f.EachField([&](const char* name, const auto& field, pk::FieldKind) {
    o << name;
    Put(o, field);
    o << '\n';
  });
  return o.str();
}

}  // namespace pktest
