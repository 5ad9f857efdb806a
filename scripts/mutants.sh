#!/usr/bin/env bash
# Planted faults: small faults made in the game's code and in the code around
# it (replays, the shell, the lab, the seam's files and languages) one at a
# time, each followed by the fast part of the test suite, to measure what the
# tests would notice. A measuring tool like the benchmarks, not part of every run.
#
#   bash scripts/mutants.sh            every fault; one line each, then "caught X of Y"
#   bash scripts/mutants.sh --list     only list the faults
#   bash scripts/mutants.sh PATTERN    only the faults whose place or line matches PATTERN
#
# The faults are made in a scratch copy of the tree (build-mutants/src, built
# in build-mutants/build without unity build or sanitizers), never in the tree
# itself; a fault's file is put back after it, also when interrupted.
# Rebuilding recompiles the touched file and relinks the test binary. Each
# line says caught (and by which test), ALIVE, equivalent, undefined or
# no-build (a swap that makes two equal cases). About two hours on one core;
# PIKORA_MUTANTS_DIR=other-folder with a PATTERN runs a second sweep beside it.
#
# Automatic faults over core/ screen/ staff/ creatures/ sound/ scenes/, and
# around the game over replay/ app/ lab/ platform/*.cpp and the file checks
# platform/sdl/AudioFiles.cpp and platform/posix/Files.cpp:
#   - each comparison flipped at its boundary: < <=, > >=, == !=;
#   - each whole-number constant (rules, waits, loop bounds) one up, and the
#     bound of a comparison one down too, but never the way the comparison's
#     own flip already goes; a drawing call moved by its first number only
#     (a position moved); no loop's start and no declared array's size;
#   - the keys of a pair swapped (Left and Right, Up and Down), and each named
#     job, stage or mode moved to its neighbour (kTrain to kRest, kEndRoll to
#     kBankrupt); a swap that cannot build (a repeated case) is left out.
# Then the curated faults below. Faults that cannot change what the game does
# are listed as equivalent below, each with its reason, and left out of the
# count, as is one whose effect is undefined (a read past an array), which
# only the sanitized tests can see, and one no one could tell (a chance of the
# lab's random player moved by 1 in 10 000), marked negligible.
#
# PIKORA_MUTANTS_JOBS=1 builds on one core (default: every core);
# PIKORA_MUTANTS_EVERY=N sweeps a sample: the curated faults and every Nth
# automatic one; PIKORA_MUTANTS_OFFSET=K (1 to N-1) another sample of every
# Nth, from the Kth on, without the curated ones.
set -euo pipefail
ROOT=${PIKORA_MUTANTS_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
WORK=${PIKORA_MUTANTS_DIR:-$ROOT/build-mutants}
SRC=$WORK/src
BLD=$WORK/build
mkdir -p "$SRC" "$BLD"
# One sweep at a time, run from a copy of this script, so editing the tree's
# copy meanwhile cannot change a running sweep (the lock goes with the exec).
if [ -z "${PIKORA_MUTANTS_ROOT:-}" ]; then
  exec 9>"$WORK/lock"
  flock -n 9 || { echo "a sweep is running in $WORK; wait for it" >&2; exit 1; }
  cp "$0" "$WORK/mutants-running.sh"
  PIKORA_MUTANTS_ROOT=$ROOT exec bash "$WORK/mutants-running.sh" "$@"
fi
LIST_ONLY=0
PATTERN=""
case "${1:-}" in
  --list) LIST_ONLY=1 ;;
  -h|--help) sed -n '2,9p' "$ROOT/scripts/mutants.sh"; exit 0 ;;
  "") ;;
  *) PATTERN=$1 ;;
esac

# Curated faults: file | text on the line (unique in the file) | replacement.
CURATED=$(cat <<'EOF'
core/MainTick.cpp|      ByeKao();\n      break;|      ByeKao();
core/MainTick.cpp|    GameOver();|    Ending();
core/MainTick.cpp|    Sikin = 0;|    Sikin = Sikin;
core/MainTick.cpp|    Jikan = 0;|    Jikan = Jikan;
core/MainTick.cpp|    if (Jsigoto(s) == kTrain) TrainingPass(s);|    if (Jsigoto(s) == kWarm) TrainingPass(s);
core/MainTick.cpp|  GrowthPass();\n  FeedingPass();|  FeedingPass();\n  GrowthPass();
core/MainTick.cpp|      Tadaima();\n      SigotoEnd();|      SigotoEnd();\n      Tadaima();
core/PenStep.cpp|        PikoraHp(PenI, PenJ) = 100;|        (void)0;
core/PenStep.cpp|        PikoraLv(PenI, PenJ) = stage == kYoung3 ? 100 : 0;|        PikoraLv(PenI, PenJ) = 0;
core/PenStep.cpp|      if (stage <= kYoung3 && PikoraHp(PenI, PenJ) < 0) {|      if (PikoraHp(PenI, PenJ) < 0) {
core/PenStep.cpp|        continue;\n      }\n      PikoraHp|      }\n      PikoraHp
core/Input.cpp|          Jkeika(Jnow) = 0;|          (void)0;
core/Input.cpp|      Mjyoutai();  // every key|      // every key
core/Input.cpp|      if (KeyCode == plat::kKeyEscape) QuitSequence();|      if (KeyCode == plat::kKeyEscape) End();
core/Input.cpp|      StopEffect();\n      End();|      End();
core/HenSyoki.cpp|  for (I = 0; I <= 4; ++I) cell(I, 2, kAdult, 100);|  for (I = 0; I <= 4; ++I) cell(I, 2, kAdult, 0);
staff/Requests.cpp|  f.KiokuZurasi(c);|  (void)0;
staff/Requests.cpp|    if (c != kRest && Jtairyoku(Jnow) < kTired) continue;|    if (Jtairyoku(Jnow) < kTired) continue;
staff/Requests.cpp|  if (Jtairyoku(Jnow) < 80) Raise(*this, kRest);|  if (!RecordAndBlocked(*this, kRest) && Jtairyoku(Jnow) < 80) Raise(*this, kRest);
staff/Requests.cpp|  if (RecordAndBlocked(*this, kWarm)) return;|  if (RecordAndBlocked(*this, kTrain)) return;
staff/Requests.cpp|  f.Timer2.Interval(0);|  (void)0;
staff/Answers.cpp|  for (int slot = 0; slot <= 5; ++slot) Jkioku(Jnow, slot) = kIdle;|  (void)0;
staff/Answers.cpp|  if (Jsigoto(Jnow) != kRest) Jikan -= 35;|  Jikan -= 35;
staff/Answers.cpp|  if (c == kBuyEggs || c == kBuyFeed) Jnouryoku(Jnow, c, 0) = KaimonoKazu * 10;|  if (c == kBuyEggs || c == kBuyFeed) Jnouryoku(Jnow, c, 0) = 10;
staff/Jobs.cpp|        if (Sikin < price || PikoraKazu >= 126) break;|        if (Sikin < price || PikoraKazu >= 126) continue;
staff/Jobs.cpp|        while (PikoraSyu(k % 9, k / 9) != kEmpty) ++k;|        while (PikoraSyu(k / 14, k % 14) != kEmpty) ++k;
staff/Jobs.cpp|  if (job != kRest) {|  {
staff/Jobs.cpp|  MakeJnow();\n  Jsigoto(s) = kIdle;|  Jsigoto(s) = kIdle;\n  MakeJnow();
staff/Jobs.cpp|    Jtairyoku(s) = std::max<int64_t>(0, Jtairyoku(s) - toll);|    Jtairyoku(s) = Jtairyoku(s) - toll;
creatures/Pen.cpp|      const int64_t price = std::min<int64_t>(999, int64_t(worth));|      const int64_t price = int64_t(worth);
creatures/Pen.cpp|      Score = std::min<int64_t>(32767, Score + price / 10);|      Score = std::min<int64_t>(32767, Score + price);
creatures/Pen.cpp|      const double worth = double(Jnouryoku(Jnow, 5, 0)) / 10.0 * double(PikoraLv(c, r));|      const double worth = double(Jnouryoku(0, 5, 0)) / 10.0 * double(PikoraLv(c, r));
creatures/Pen.cpp|  for (int r = 0; r <= 13; ++r)\n    for (int c = 0; c <= 8; ++c) {|  for (int c = 0; c <= 8; ++c)\n    for (int r = 0; r <= 13; ++r) {
scenes/Ending.cpp|  const Page page = MakeRoll(Score > 9999)[p];|  const Page page = MakeRoll(false)[p];
scenes/Ending.cpp|    const plat::Surface& pic = EndP(Score > 9999 ? 0 : 1);|    const plat::Surface& pic = EndP(0);
scenes/Ending.cpp|    Jnow = 3;  // the remaining|    Jnow = 0;  // the remaining
scenes/Ending.cpp|  Timer2.Interval(0);\n  Mode = kEndRoll;|  Mode = kEndRoll;
scenes/GameOver.cpp|  Timer2.Interval(0);\n  Mode = kBankrupt;|  Mode = kBankrupt;
scenes/Intro.cpp|  OpenM(1);\n  PlayM(0);|  OpenM(1);
screen/Panels.cpp|{ return FloorDiv(Jikan, 10); }|{ return Jikan / 10; }
screen/Panels.cpp|  const int64_t eggs = int64_t(KaimonoKazu) * 10, feed = int64_t(KaimonoKazu) * 1000;|  const int64_t eggs = int64_t(KaimonoKazu) * 10, feed = int64_t(KaimonoKazu) * 100;
sound/Music.cpp|  if (P.Sound().MusicMode() == "stopped") {|  if (P.Sound().MusicMode() == "playing") {
core/Form.h|    start_ += uint32_t(interval_);|    start_ = p_.Ticks();
app/Settings.cpp|  if (xdg && xdg[0] == '/') return|  if (xdg && xdg[0]) return
app/Settings.cpp|     [](const Settings& s) { return Within(s.volume, 0, 10); }},|     [](const Settings& s) { return Within(s.volume, 1, 10); }},
app/Settings.cpp|    {"mute", [](const std::string& v, Settings& s) { return ReadFlag(v, s.mute); },|    {"mute", [](const std::string& v, Settings& s) { return ReadFlag(v, s.fullscreen); },
app/Settings.cpp|  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);|  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
app/Options.cpp|    else if (a == "--windowed") out.fullscreen = false;|    else if (a == "--windowed") out.fullscreen = true;
app/Options.cpp|  if (out.force && out.record.empty()) return|  if (false) return
app/Games.cpp|  if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s == '/')|  if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s)
app/Games.cpp|  return end != std::string::npos && text.compare(end + 5, 4, "quit") != 0;|  return end != std::string::npos;
app/Replays.cpp|  return replay::EndsAsRecorded(r, got) && left == 0 ? 0 : Elsewhere(path, r, got, left);|  return replay::EndsAsRecorded(r, got) ? 0 : Elsewhere(path, r, got, left);
app/main.cpp|  if (options.resume) seed = stopped.game.game.seed;|  (void)0;
app/main.cpp|    recorder.Discard();|    (void)0;
replay/File.cpp|    if (c == '\r' && (i + 1 == raw.size()|    if (c == '\r' && (true
replay/File.cpp|" click " + std::to_string(in.e.x) + " " + std::to_string(in.e.y)|" click " + std::to_string(in.e.y) + " " + std::to_string(in.e.x)
replay/File.cpp|  if (!out.inputs.empty() && out.inputs.back().point > e.ticks)|  if (false)
replay/Tapes.cpp|  Write(InputLine(Input{point, std::min(readyMs, kMaxWait), e, {}}));|  Write(InputLine(Input{point, readyMs, e, {}}));
replay/Tapes.cpp|  if (r.format >= 2) return got == r.end;|  if (r.format >= 1) return got == r.end;
replay/Tapes.cpp|    if (e.key == plat::kKeyRight) speed_ = std::min(speed_ * 2, kFastest);|    if (e.key == plat::kKeyRight) speed_ = speed_ * 2;
replay/Kept.cpp|    if (ReadPoint(PointPath(path), p) && p > out.mark) out.mark = p;|    if (ReadPoint(PointPath(path), p)) out.mark = p;
replay/Kept.cpp|    std::filesystem::remove(plat::FsPath(PointPath(path_)), ec);|    (void)ec;
lab/main.cpp|lab::PlayGames(p, a.first, a.games, int(a.jobs));|lab::PlayGames(p, 1, a.games, int(a.jobs));
platform/Languages.cpp|  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})|  for (const char* name : {"LANG", "LC_MESSAGES", "LC_ALL"})
platform/Catalogue.cpp|    for (char& ch : cs) ch = char(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);|    (void)0;
platform/posix/Files.cpp|  if (!replace) flags|  if (false) flags
platform/posix/Files.cpp|  made_ = !replace;|  made_ = true;
platform/posix/Files.cpp|  empty_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;|  empty_ = false;
platform/sdl/AudioFiles.cpp|  if (seconds > 60) return|  if (seconds > 600) return
EOF
)

# Faults that change nothing the game does: file | text on the line | fault | why
# (the text holds no "|", which divides the fields: a part of the line will do).
EQUIVALENT=$(cat <<'EOF'
staff/Jobs.cpp|PikoraKazu >= 126|>= >|an empty cell was just found, so the count is below 126 here
staff/Jobs.cpp|PikoraKazu >= 126|126 127|an empty cell was just found, so the count is below 126 here
staff/Jobs.cpp|constexpr int kPenFull = 126;|126 127|cells 126 and 127 both lie in the always empty row 14: the scan stops at 126 either way
staff/Requests.cpp|PenHas(*this, kEmpty, 126)|126 127|cell 126 is always empty, so the scan succeeds before 127
staff/Requests.cpp|PenHas(*this, kEmpty, 126)|126 125|with fewer than 105 occupants one of cells 0..125 is empty
core/Input.cpp|Jkeika(Jnow) = 0;|curated|an idle employee's count is already 0 when a request is permitted
core/PenStep.cpp|PenJ <= 13|13 14|row 14 is always empty
core/PenStep.cpp|TrainingPass: for (PenI = 0; PenI <= 8|8 9|column 9 never holds an adult
core/Window.cpp|P.Sleep(|10 11|the wait ends at the same moment; only how often it wakes to look changes
core/Window.cpp|int64_t wait = -1;|1 2|any wait below zero means no time limit
core/Window.cpp|std::max<int64_t>(t->DueIn(), 0)|0 1|a timer due now has fired before the wait is worked out
core/Window.cpp|wait = wait < 0 ?|< <=|the wait is -1 or at least 1 here, never 0
creatures/Pen.cpp|Pikora: for (int c = 0; c <= 8|8 9|column 9 never holds an adult
creatures/Pen.cpp|r <= 13|13 14|row 14 is always empty
scenes/Ending.cpp|using Roll|5 6|a larger table of pages changes no page
scenes/Ending.cpp|using Roll|11 12|a larger table of pages changes no page
scenes/Ending.cpp|EDmoji: for (I = 0; I <= 8; ++I)|8 9|column 9 never holds an adult
scenes/Ending.cpp|EDmoji: for (J = 0; J <= 13; ++J)|13 14|row 14 is always empty
scenes/Ending.cpp|I <= 337|<= <|the picture rises by 20 from 10: no step stops at 337
scenes/Ending.cpp|I <= 337|337 338|the picture rises by 20 from 10: no step stops at 337 or 338
screen/Dialogue.cpp|h >= 6|6 5|the face sinks by 10 from 96: no step stops at 5
screen/Dialogue.cpp|while (last >= 0 && lines[last].empty())|>= >|with every line empty, line 0 is empty too and adds nothing to what is said
screen/Dialogue.cpp|WriteMessage: for (int n = 0; n <= 3 && !rest.empty()|3 4|line 4 is the request's last line, put in its place right after
screen/Dialogue.cpp|WriteWords: for (int n = 0; n <= 3 && !words.empty()|3 4|line 4 is the last line given, put in its place right after
screen/Panels.cpp|FloorDiv(int64_t a|< <=|zero and the divisor, always 10, take no rounding either way
sound/Music.cpp|kMusic[PA]) return;|< <=|there is no piece 0 either
sound/Music.cpp|kMusic[PA]) return;|> >=|there is no piece 10 either
sound/Music.cpp|kMusic[PA]) return;|10 11|nothing asks for a piece past 10
sound/Music.cpp|kEffect[PA]) return;|< <=|there is no effect 0 either
sound/Music.cpp|kEffect[PA]) return;|10 11|nothing asks for an effect past 10
staff/Answers.cpp|kJobLength[6]|0 1|a rest's length is the employee's own; this entry is never read
staff/Answers.cpp|lines[l] = f.Jmsg(f.Jnow, m, l)|<= <|line 4 of an answer is always empty
staff/Requests.cpp|kRollToRequest|5 6|a roll of 6 goes to the switch's last branch, the sale, as 5 does
staff/Requests.cpp|0, 5, 1, 2, 2, 4, 5, 4, 1, 2, 3};|5 6|a roll of 6 goes to the switch's last branch, the sale, as 5 does
staff/Requests.cpp|Uru: for (int s = 0; s <= 3; ++s)|3 4|slot 4 is nobody's; its job is never a sale
staff/Requests.cpp|PenHas(*this, kAdult, 125)|125 126|cell 126 lies in the always empty row 14
staff/Roster.cpp|if (r.kind <= 5)|5 6|there is no kind 6 in the table
staff/Roster.cpp|SetMsg: for (J = 0; J <= 3; ++J)|3 4|no message of the table has a fifth line: line 4 stays empty or takes the prompt right after
staff/Roster.cpp|for (I = 0; I <= 6; ++I) SigotoMei(I) = labels[I];|6 7|undefined: it reads past the table of labels, which only the sanitized copy of the tests (left out here) can see
core/HenSyoki.cpp|cell(I, 0, kEgg, 0);|4 5|the young of the next loop take cell (5, 0) over
core/HenSyoki.cpp|cell(I, 1, kYoung2, 0);|4 5|the young of the next loop take cell (5, 1) over
replay/File.cpp|Number: if (s.empty()|20 21|a 21st digit is refused anyway: after a leading zero, or past the largest value
replay/File.cpp|in.e = plat::Event{plat::Event::KeyDown, int(a), 0, 0};|0 1|a key's x and y are never read: the game, the tapes and the file take only its code
replay/Kept.cpp|Next: mark_ = 0;|0 1|the game is at point 1 or later when it finds it went another way: a mark of 1 holds nothing back
app/Replays.cpp|if (!p.WaitEvent(-1)) return status;|1 2|any wait below zero means no time limit
app/Replays.cpp|Verify: size_t left = 0;|0 1|PlayBlind always says how many inputs are left: the first value is never read
app/Shell.cpp|const int settled = kept.empty() ? -1|1 2|any index below zero is no language found
platform/posix/Files.cpp|WriteWholeFile: if (n <= 0) err|<= <|write() gives 0 only when asked for no bytes, which the loop never asks
platform/Catalogue.cpp|Load: for (char& ch : cs) ch = char(ch >= 'a' && ch <= 'z'|<= <|the only charset taken, UTF-8, has no z: one with a z is refused either way
platform/Languages.cpp|CarriedLanguages: codes.remove_prefix(std::min(codes.size(), code.size() + 1));|1 2|while the build carries one catalogue (en) the list ends after it either way; with a second one this fault would drop it
platform/sdl/AudioFiles.cpp|size_t at = 0;|0 1|the reader is set to byte 4 before it reads anything
platform/sdl/AudioFiles.cpp|ParseMidi: uint32_t last = 0, rate = 500000;|500000 500001|the tempo map always holds tick 0, whose tempo takes its place before it counts
platform/sdl/AudioFiles.cpp|IsRiff(ReadFileHead(path, 12), "sfbk")|12 13|a byte more of the head read changes nothing: its first twelve are judged
platform/sdl/AudioFiles.cpp|std::memcmp(bytes.data() + r.at, "MTrk", 4) != 0)|4 5|negligible: the fifth byte compared is the top byte of the track's length: only a track of 16 MB or more could tell
platform/sdl/AudioFiles.cpp|DefaultBeepWav: const int rate = 22050|22050 22051|negligible: the beep made at 22 051 samples a second, which no ear can tell
platform/sdl/AudioFiles.cpp|DefaultBeepWav: u16(uint16_t(int16_t(std::lround(12000 *|12000 12001|negligible: the beep one part in 12 000 louder, which no ear can tell
platform/sdl/AudioFiles.cpp|DefaultBeepWav: u16(uint16_t(int16_t(std::lround(12000 *|880 881|negligible: the beep 1 Hz higher, which no ear can tell
platform/sdl/AudioFiles.cpp|ParseMidi: if (at >= s.ticks) break;|>= >|a tempo that changes at the last tick governs no tick: the piece lasts as long
platform/sdl/AudioFiles.cpp|FindSoundFont: return 0;|0 1|what a reader gone past the end gives is never used: it is bad from then on, and the piece refused
platform/sdl/AudioFiles.cpp|std::memcmp(bytes.data(), "MThd", 4) != 0)|4 5|the fifth byte compared is the top byte of the header's length, 0 in any header under 16 MB; a larger one is refused either way
lab/Policies.cpp|std::max<int64_t>(0, feedNeed - s.Feed()) / 100|0 1|a shortfall below a hundred rations costs nothing either way: the price is of whole hundreds
lab/Policies.cpp|Careful::Knobs{150, 400, 245, 3, 14, 240, 0}|14 15|the sellers' prices are 10, 12 and 15: a bar of 15 lets the same ones through as 14
lab/Policies.cpp|Careful::Knobs{150, 400, 245, 3, 14, 240, 0}|245 246|the ticks left go by the time's tenths in thirds (243, 246…): none is 245, so 245 and 246 stand on the same side of each
lab/Policies.cpp|const int k = int(std::min<int64_t>({5, room / 10,|10 11|negligible: the pen's room counted in elevens changes a purchase only at 10, 20-21, 30-32, 40-43 or 50-54 free places with money for more eggs than the room allows; the thousand games pinned for each careful owner come out the same
lab/Policies.cpp|constexpr int kSaleFactor[4] = {12, 12, 15, 10};|12 13|the policies' bars for a good seller are 12 and 14: a price of 13 stands on the same side of each as 12
lab/Policies.cpp|constexpr int kSaleFactor[4] = {12, 12, 15, 10};|15 16|a price of 16 clears both bars (12 and 14) as 15 does
lab/Policies.cpp|constexpr int kSaleFactor[4] = {12, 12, 15, 10};|10 11|a price of 11 falls short of both bars (12 and 14) as 10 does
lab/Policies.cpp|if (s.Asking() && r < 8000)|< <=|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 4000) return|< <=|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 5500) return|< <=|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 8500) return|< <=|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|int(Next() % 10000) < permit_|< <=|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (s.Asking() && r < 8000)|8000 7999|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 4000) return|4000 3999|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 5500) return|5500 5499|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 8500) return|8500 8499|negligible: a chance of the random player's moved by 1 in 10 000, which no one can tell from its games
lab/Policies.cpp|if (r < 4000) return Next() % 2 ?|2 3|between requests the game takes ← and → alike: nothing while it runs, a page of the roll at its end
lab/Policies.cpp|if (r < 4000) return Next() % 2 ?|kKeyLeft kKeyRight|between requests the game takes ← and → alike: nothing while it runs, a page of the roll at its end
lab/Policies.cpp|if (r < 4000) return Next() % 2 ?|kKeyRight kKeyLeft|between requests the game takes ← and → alike: nothing while it runs, a page of the roll at its end
platform/Surface.cpp|Box: if (y1 > y2) std::swap(y1, y2);|> >=|swapping two equal rows changes nothing
platform/Surface.cpp|Box: if (x1 > x2) std::swap(x1, x2);|> >=|swapping two equal columns changes nothing
platform/posix/Files.cpp|ReadWholeFile: size_t size = 0;|0 1|OpenRegular sets the size whenever it gives a file to read
platform/posix/Files.cpp|ReadFileHead: size_t size = 0;|0 1|OpenRegular sets the size whenever it gives a file to read, and the head never reads it
platform/posix/Files.cpp|WriteWholeFile: int fd = -1;|1 2|any value below zero starts the loop that opens the file
lab/main.cpp|Whole: errno = 0;|0 1|only ERANGE is looked for after the call: any other value clears it as 0 does
lab/Lab.cpp|e = plat::Event{plat::Event::KeyDown, key, 0, 0};|0 1|a key's x and y are never read
lab/Lab.cpp|uint32_t wait = 0;  // the pace written for the key|0 1|the lab sets the pace before every key it presses
lab/Lab.cpp|kMaxSteps = 50'000'000;|50 51|a bound against a policy that never stops pressing keys: no game comes near 50 million steps
lab/Lab.cpp|kMaxSteps = 50'000'000;|000 1|a bound against a policy that never stops pressing keys: no game comes near half a million steps either
app/Options.cpp|ParseSeed: errno = 0;|0 1|only ERANGE is looked for after the call: any other value clears it as 0 does
app/Options.cpp|ParseOptions: uint64_t seed = 0;|0 1|ParseSeed sets it whenever it gives a number
app/Settings.cpp|last_write_time(e2) > kStale)|> >=|negligible: a leftover exactly one minute old to the nanosecond; one a moment older goes either way
platform/Catalogue.cpp|Find: if (at < key) lo = mid + 1;|< <=|an equal key has been returned just before
platform/sdl/AudioFiles.cpp|WavTrouble: uint32_t channels = 0, rate = 0, bits = 0, encoding = 0;|0 1|all four are read from the format chunk, without which the file is refused before they are looked at
platform/sdl/AudioFiles.cpp|WavTrouble: uint64_t data = 0;|0 1|it is set where the samples are found, without which the file is refused before it is looked at
replay/File.cpp|Signed: uint64_t v = 0;|0 1|Number sets it whenever it gives a number
replay/File.cpp|ReadInput: uint64_t a = 0, b = 0;|0 1|Number sets them whenever it gives a number
replay/File.cpp|int64_t(f.size) > kMaxBytes ?|> >=|a file is too large only past the limit, never at it
replay/Kept.cpp|text.resize(text.rfind('\n') == std::string::npos ? 0|0 1|a kept file without one whole line is refused either way (it is set aside); only the reason given differs
replay/Kept.cpp|ReadKept: uint64_t p = 0;|0 1|ReadPoint sets it whenever it reads a point
replay/File.cpp|ReadInput: uint64_t wait = 0;|0 1|Number sets it whenever it gives a number
replay/File.cpp|in.e = plat::Event{plat::Event::Click, 0, int(a), int(b)};|0 1|a click's key is never read
replay/File.cpp|ReadHeader: uint64_t format = 0;|0 1|Number sets it whenever it gives a number
app/main.cpp|main: size_t language = 0;|0 1|ReadCommandLine sets it before anything reads it
replay/Kept.cpp|After: size_t at = 0;|0 1|After is asked for at least the four header lines, and a replay's first letter is never a line's end: the search finds the same end from 1
replay/Kept.cpp|ReadFileHead(path, 64);|64 65|a point file is 38 bytes: a longer head is refused either way
replay/Kept.cpp|ReadPoint: unsigned long long point = 0, check = 0;|0 1|sscanf sets both whenever it reads the two
replay/Kept.cpp|p > out.mark) out.mark = p;|> >=|an equal mark put in its own place changes nothing
replay/Kept.cpp|Fired: if (point > mark_) Mark(point);|> >=|the same point written again leaves the same point file
replay/Tapes.cpp|Let: e = plat::Event{plat::Event::Close, 0, 0, 0};|0 1|a close's key, x and y are never read
replay/File.cpp|in.e = plat::Event{plat::Event::Close, 0, 0, 0};|0 1|a close's key, x and y are never read
replay/File.cpp|in.e = plat::Event{plat::Event::Language, plat::CarriedLanguages().Find(w[2]), 0, 0};|0 1|a change of language's x and y are never read
app/Settings.cpp|ReadFlag: int n = 0;|0 1|ReadInt sets it whenever it gives a number
replay/File.cpp|size_t(in.e.key) < all.Count();|< <=|undefined: it reads past the table of languages for a language input past it, which nothing makes (a replay's carries its code); only the sanitized tests could see it
lab/Lab.cpp|volatile pid_t gPlotter = 0;|0 1|a signal before any plot would only send SIGKILL to process 1, which the kernel never delivers to init from its own namespace, and waitpid on no child of ours returns at once
lab/Lab.cpp|PlayGame: for (uint64_t step = 0; step < kMaxSteps|< <=|a bound against a policy that never stops pressing keys: no game comes near 50 million steps
lab/Lab.cpp|while (waitpid(pid, &st, 0) < 0|< <=|waitpid without WNOHANG never gives 0
lab/Lab.cpp|Time: return t / 10 - (t % 10 != 0 && t < 0);|< <=|at 0 the remainder is 0 already: the sign is never asked
lab/Lab.cpp|Count: for (int r = 0; r <= 13; ++r)|13 14|row 14 lies outside the pen: empty from the start, it stays so, and no one counts empty cells
lab/Lab.cpp|PlayGame: for (uint64_t step = 0; step < kMaxSteps|0 1|a bound against a policy that never stops pressing keys: one step fewer of 50 million
lab/Lab.cpp|char gFolder[32], gScores[48], gPicture[48];|32 33|room for 32 bytes where the folder's name takes 23
lab/Lab.cpp|char gFolder[32], gScores[48], gPicture[48];|48 49|room for 48 bytes where the longest name takes 34
lab/Lab.cpp|CleanUp: if (const pid_t p = gPlotter; p > 0)|0 1|gnuplot is never process 1: only 0 means no plotter
lab/Lab.cpp|CleanUp: gPlotter = 0;|0 1|only a signal's clean-up finds gnuplot still running, and the lab ends right after it
lab/Lab.cpp|DrawHistogram: int64_t width = 1;|1 2|the axis reaches 10000 at least, so the loop's first step sets the width to 1 before it is read
lab/Lab.cpp|DrawHistogram: pid_t pid = 0;|0 1|posix_spawnp sets it whenever it is read
lab/Lab.cpp|DrawHistogram: int st = 0;|0 1|waitpid on our own child sets it before it is read
lab/Lab.cpp|DrawHistogram: while (waitpid(pid, &st, 0) < 0 && errno == EINTR)|== !=|waitpid on our own child fails only when a signal's handler interrupts it, and the lab's handlers end it
lab/Lab.cpp|DrawHistogram: gPlotter = 0;|0 1|the clean-up would then send SIGKILL to process 1, which the kernel never delivers to init from its own namespace, and waitpid on no child of ours returns at once
lab/Lab.cpp|close(script_pipe[1]);  // no one reads the script|1 2|undefined: it closes whatever lies past the pipe's pair, only when gnuplot cannot start; the pipe's end then stays open until the lab ends
lab/main.cpp|std::string(12 - std::min<size_t>(11, p.name.size()), ' ')|11 12|no policy's name is longer than 10 letters
lab/main.cpp|uint64_t showSeed = 0;|0 1|read only after --show has set it
platform/Catalogue.cpp|Find: const size_t mid = lo + (hi - lo) / 2;|2 3|any middle between the bounds finds the same entry: only the number of steps changes
platform/Catalogue.cpp|Find: return -1;|1 2|every caller asks only whether it is below 0
platform/Catalogue.cpp|Header: const int i = n_ ? Find("") : -1;|1 2|it is asked only whether it is below 0
platform/Catalogue.cpp|Header: for (size_t at = 0; at < h.size();)|< <=|at the end the empty line that follows names no field
platform/Languages.cpp|Find: for (size_t i = 0; i < all_.size(); ++i)|< <=|undefined: it reads past the table of languages when no language has the code; only the sanitized tests could see it
platform/Languages.cpp|if (const int i = one.empty() ? -1 : Find(one); i >= 0)|1 2|it is asked only whether it is below 0
lab/main.cpp|Share: std::snprintf(b, sizeof b, "%zu (%.1f %%)", n, of ? 100.0 * double(n) / double(of) : 0.0);|0 1|a share of no games is never printed: the lab plays one at least
platform/Surface.cpp|Copy: if (sx < 0)|< <=|at 0 the clipping moves nothing
platform/Surface.cpp|Copy: if (sy < 0)|< <=|at 0 the clipping moves nothing
platform/Surface.cpp|Copy: if (dx < 0)|< <=|at 0 the clipping moves nothing
platform/Surface.cpp|Copy: if (dy < 0)|< <=|at 0 the clipping moves nothing
platform/Surface.cpp|Copy: if (w <= 0|<= <|a copy of no width or height moves no byte either way
platform/Surface.cpp|Box: for (int x = x1; x <= x2; ++x) { Set(x, y1, c); Set(x, y2, c); }|<= <|the corners at the right are drawn by the right side too
platform/posix/Files.cpp|OpenRegular: return -1;|1 2|every caller asks only whether it is below 0
platform/posix/Files.cpp|ReadUpTo: while (got < n) {|< <=|a read of no bytes gives 0, which ends the loop
platform/posix/Files.cpp|if (fd < 0 && errno != EEXIST) break;|< <=|a file opened as descriptor 0 ends the loop either way
platform/posix/Files.cpp|static std::atomic<unsigned> writes{0};|0 1|the count only keeps the temporary names apart
platform/posix/Files.cpp|fd < 0 && tries < 100; ++tries)|< <=|negligible: only a hundredth leftover of this very process's temporary names could tell (its twin on the same line, at descriptor 0, is caught)
platform/posix/Files.cpp|fd < 0 && tries < 100; ++tries)|100 99|negligible: only a 99th leftover of this very process's temporary names could tell
platform/posix/Files.cpp|if (errno != EINVAL && errno != ENOSYS) return errno;|!= ==|where the rename fails, the hard link it falls back on fails the same way (a taken name, a missing folder, no right to write)
platform/posix/Files.cpp|PutInPlace: if (link(tmp.c_str(), path.c_str()) != 0) return errno;|0 1|negligible: reached only where renameat2 has no RENAME_NOREPLACE, which no system of ours lacks
platform/posix/Files.cpp|PutInPlace: if (link(tmp.c_str(), path.c_str()) != 0) return errno;|!= ==|negligible: reached only where renameat2 has no RENAME_NOREPLACE, which no system of ours lacks
platform/posix/Files.cpp|PutInPlace: return 0;|0 1|negligible: reached only where renameat2 has no RENAME_NOREPLACE, which no system of ours lacks
platform/posix/Files.cpp|if (fd < 0 && errno != EEXIST) break;|!= ==|negligible: only a leftover temporary name of this very process could tell; any other failure is tried a hundred times over with the same answer
platform/posix/Files.cpp|Write: if (n <= 0) return why = std::strerror(n < 0 ? errno : ENOSPC)|< <=|a write of some bytes gives one at least, or fails
platform/posix/Files.cpp|Write: if (n < 0 && errno == EINTR) continue;|< <=|a write of some bytes gives one at least, or fails
platform/posix/Files.cpp|Sync: return errno == EINVAL|== !=|negligible: only a disk whose fsync fails could tell
platform/posix/Files.cpp|WriteWholeFile: if (n <= 0) err = n < 0 ? errno : ENOSPC;|< <=|a write of some bytes gives one at least, or fails
platform/posix/Files.cpp|WriteWholeFile: if (n < 0 && errno == EINTR) continue;|< <=|a write to a file gives a byte at least, or fails
platform/posix/Files.cpp|Create: empty_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;|> >=|emptying a file with nothing in it changes nothing
platform/posix/Files.cpp|Create: empty_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;|0 1|an old file of one byte is written over by the first write, which is never empty
platform/posix/Files.cpp|Emptied: if (ftruncate(int(handle_), 0) != 0)|0 1|the one byte left is written over by the first write, which is never empty
platform/Catalogue.cpp|std::memcpy(&v, mo.data() + at, 4);|4 5|undefined: it copies a byte past the word it fills; only the sanitized tests could see it
platform/Catalogue.cpp|for (char& ch : cs) ch = char(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);|>= >|only the spelling of UTF-8 is compared, which has no a
platform/Catalogue.cpp|if (line.size() > field.size() && line.substr(0, field.size()) == field|> >=|undefined: a line that is the field's name alone is read one byte past its end, its newline, never a colon
platform/Languages.cpp|FromEnvironment: return i < 0 ? 0 : size_t(i);|< <=|at 0 it gives 0 either way
platform/Platform.cpp|for (auto& d : display_) d = Surface(kSurfW, kSurfH, 0);|0 1|the game fills every surface before it draws
platform/Platform.cpp|Sleep(std::min<uint32_t>(hold, 50));|50 51|negligible: a look at the player's keys every 51 ms instead of 50 while a replay holds its next input
platform/Surface.cpp|Copy: const bool up = &src == this && dy > sy;|> >=|with the rows where they were, each is copied onto itself in either order
platform/Surface.cpp|Box: for (int y = y1; y <= y2; ++y) { Set(x1, y, c); Set(x2, y, c); }|<= <|the corners at the bottom are drawn by the bottom side too
platform/posix/Files.cpp|WriteWholeFile: err = errno == EINVAL ? 0 : errno;|== !=|negligible: only a disk whose fsync fails could tell
platform/posix/Files.cpp|WriteWholeFile: err = errno == EINVAL ? 0 : errno;|0 1|negligible: only a file system that cannot sync could tell
platform/posix/Files.cpp|ReadWholeFile: else if (!ReadUpTo(fd, size + 1, r.bytes))|1 2|negligible: only a file that grows while it is read could tell
platform/posix/Files.cpp|Rewrite: return n == ssize_t(s.size())|< <=|a write of some bytes gives one at least, or fails
platform/posix/Files.cpp|Write: if (n <= 0) return why|<= <|a write of some bytes gives one at least, or fails
platform/Platform.cpp|size_t(e.key) < CarriedLanguages().Count())|< <=|undefined: it reads past the table of languages for a language input past it, which nothing makes (a replay's carries its code); only the sanitized tests could see it
lab/Lab.cpp|int tallest = 0;|0 1|every histogram has a game at least, so its tallest bar counts one at least
lab/Lab.cpp|if (fd >= 0 && close(fd) != 0) why|>= >|the scores are in the file once written, closed or not (descriptor 0 only when the lab's input is closed): gnuplot reads them all
app/Games.cpp|&& n < 100; ++n)|< <=|negligible: only a hundredth game begun within one second could tell
app/Games.cpp|&& n < 100; ++n)|100 99|negligible: only a 99th game begun within one second could tell
app/Games.cpp|&& n < 1000; ++n)|< <=|negligible: only a thousandth damaged copy of one kept game could tell
app/Games.cpp|&& n < 1000; ++n)|1000 999|negligible: only a 999th damaged copy of one kept game could tell
app/Games.cpp|mid.size() > kStamp + 1 &&|> >=|a stamp and a dash with no number after it is no number either way
app/Games.cpp|n.size() > 9|> >=|negligible: only a number of nine digits after a game's second could tell, and NewGame stops at 99
app/Games.cpp|n.size() > 9|9 10|ten digits fit the 64-bit unsigned long here and sort the same; the bound keeps Windows' 32-bit one from overflowing
EOF
)

# The folders of the game's rules, and the code around the game: its own
# folders (the web and Windows sides' files are not built here) and single
# files of the seam.
GAME_DIRS="core screen staff creatures sound scenes"
AROUND_DIRS="replay app/desktop lab"
AROUND_FILES="app/*.cpp platform/*.cpp platform/sdl/AudioFiles.cpp platform/posix/Files.cpp"
JOBS=${PIKORA_MUTANTS_JOBS:-$(nproc)}

# The scratch copy follows the tree (tracked and new files); only changed
# files are copied, so the build stays warm from one run to the next.
sync_copy() {
  local f files
  files=$(cd "$ROOT" && git ls-files -co --exclude-standard | sort)
  while IFS= read -r f; do
    [ -f "$ROOT/$f" ] || continue
    if ! cmp -s "$ROOT/$f" "$SRC/$f"; then
      mkdir -p "$SRC/$(dirname "$f")"
      cp "$ROOT/$f" "$SRC/$f"
    fi
  done <<<"$files"
  # Files gone from the tree go from the copy too.
  (cd "$SRC" && find . -type f | sed 's|^\./||' | sort) | comm -23 - <(printf '%s\n' "$files") |
    while IFS= read -r f; do rm -f "$SRC/$f"; done
}

# Lists the faults: id, file, line, column, old text, new text, kind.
list_faults() {
  (cd "$SRC" && { find $GAME_DIRS $AROUND_DIRS -name '*.cpp'; ls $AROUND_FILES; } | sort) |
  CURATED="$CURATED" perl -e '
    use strict; use warnings;
    my $src = shift;
    my @files = map { chomp; $_ } <STDIN>;
    my $n = 0;
    my $out = sub { my ($f, $l, $c, $o, $w, $k) = @_; $o =~ s/\n/\\n/g; $w =~ s/\n/\\n/g;
                    printf "%d\t%s\t%d\t%d\t%s\t%s\t%s\n", ++$n, $f, $l, $c, $o, $w, $k; };
    my %pair = (kKeyLeft => "kKeyRight", kKeyRight => "kKeyLeft", kKeyUp => "kKeyDown", kKeyDown => "kKeyUp");
    # A named job, stage or mode moves to its neighbour, as a number would.
    for my $codes ([qw(kBuyEggs kBuyFeed kTrain kRest kWarm kSell kIdle)], [qw(kEgg kYoung1 kYoung2 kYoung3 kAdult kEmpty)],
                   [qw(kPlaying kAsking kBankrupt kEndRoll)]) {
      $pair{$codes->[$_]} = $codes->[$_ + 1] for 0 .. $#$codes - 1;
      $pair{$codes->[-1]} = $codes->[-2];
    }
    my $named = join "|", sort keys %pair;
    my %flip = ("<" => "<=", "<=" => "<", ">" => ">=", ">=" => ">", "==" => "!=", "!=" => "==");
    for my $f (@files) {
      open my $fh, "<", "$src/$f" or die "$f: $!";
      my @lines = <$fh>;
      for my $i (0 .. $#lines) {
        my $line = $lines[$i];
        next if $line =~ /^\s*(#|\/\/)/;
        # Not mutated: bounds of the record arrays (a larger array changes
        # nothing), the mixing constants of the random source, the rows of
        # the dialogue table (their texts are checked through the traces).
        next if $line =~ /Arr<|0x|static_assert|^\s*\{\d, \d, (?:\{|NC_)|z \^= z >>/;
        # Strings, characters and comments are blanked, so columns stay true.
        (my $code = $line) =~ s/"(?:[^"\\]|\\.)*"/" " x length($&)/ge;
        $code =~ s/\x27(?:[^\x27\\]|\\.)\x27/" " x length($&)/ge;
        $code =~ s/\/\/.*$//;
        my $compares = $code =~ / (<|<=|>|>=|==|!=) /;
        while ($code =~ / (<=|>=|==|!=|<|>) /g) {
          $out->($f, $i + 1, $-[1], $1, $flip{$1}, "compare");
        }
        # The size of a declared array is no rule: blanked.
        $code =~ s/^(\s*(?:static\s+|struct .*\{ )?(?:constexpr\s+|const\s+)?[\w:]+\s*\*?(?:\s*const)?\s+\w+)((?:\[\d+\])+)/$1 . " " x length($2)/e;
        $code =~ s/(const char\* line)(\[\d+\])/$1 . " " x length($2)/e;
        # A drawing call moved by one pixel anywhere is one fault: its first
        # number only.
        my $drawing = $code =~ /\b(Copy|Box|Locate|MojiSyu|Rgb|PutChip)\(/ && !$compares;
        # A loop that starts one later is the same kind of fault as its bound
        # moved: only the bound.
        $code =~ s/(for \((?:int )?\w+ = )(\d+);/$1 . " " x length($2) . ";"/e;
        while ($code =~ /(?<![\w.])(\d+)(?:\.\d+)?(?![\w.])/g) {
          my ($v, $c) = ($1, $-[1]);
          # The bound of a comparison moves both ways, but not the way its
          # flip already goes (x <= 8 flipped is x <= 7).
          my $op = substr($code, 0, $c) =~ /([<>=!]=|[<>]) $/ ? $1 : "";
          my $around = substr($code, 0, $c) . "#" . substr($code, $c + length $v);
          my $bound = $op || $around =~ /# (?:[<>=!]=|[<>]) /;
          $out->($f, $i + 1, $c, $v, $v + 1, "constant") unless $op eq "<" || $op eq ">=";
          $out->($f, $i + 1, $c, $v, $v - 1, "constant") if $bound && $v > 0 && $op ne "<=" && $op ne ">";
          last if $drawing;
        }
        while ($code =~ /\b($named)\b/g) {
          $out->($f, $i + 1, $-[1], $1, $pair{$1}, "code");
        }
      }
    }
    for my $row (split /\n/, $ENV{CURATED}) {
      my ($f, $old, $new) = split /\|/, $row, 3;
      s/\\n/\n/g for $old, $new;
      open my $fh, "<", "$src/$f" or die "$f: $!";
      my $text = do { local $/; <$fh> };
      my $at = index($text, $old);
      die "curated fault not found in $f: $old\n" if $at < 0 || index($text, $old, $at + 1) >= 0;
      my $before = substr($text, 0, $at);
      my $line = ($before =~ tr/\n//) + 1;
      my $col = $at - (rindex($before, "\n") + 1);
      $out->($f, $line, $col, $old, $new, "curated");
    }
  ' "$SRC"
}

# The reason when a fault is a known equivalent, else nothing.
equivalent_reason() {
  local file=$1 text=$2 fault=$3 row f t flt why
  while IFS='|' read -r f t flt why; do
    [ -n "$f" ] || continue
    if [ "$f" = "$file" ] && [ "$flt" = "$fault" ] && [[ "$text" == *"$t"* ]]; then
      echo "$why"
      return
    fi
  done <<<"$EQUIVALENT"
}

# Puts the text of one fault in place (or back): line, column, old, new.
replace_at() {
  FILE=$1 LINE=$2 COL=$3 OLD=$4 NEW=$5 perl -e '
    my ($f, $l, $c, $o, $w) = @ENV{qw(FILE LINE COL OLD NEW)};
    s/\\n/\n/g for $o, $w;
    open my $fh, "<", $f or die; my @lines = <$fh>; close $fh;
    my $text = join "", @lines[$l - 1 .. $#lines];
    die "fault does not fit at $f:$l:$c\n" unless substr($text, $c, length $o) eq $o;
    substr($text, $c, length $o) = $w;
    open $fh, ">", $f or die; print $fh @lines[0 .. $l - 2], $text; close $fh;
  '
}

# The fast part of the suite: no sanitized copy, no real window, no package;
# for a fault in the game's folders none of the suites that never run the
# game's code, for one around the game those too; a short soak last.
PLATFORM_ONLY='Sound.*:Text.*:Surface.*:Pictures.*:Drawing.*:SdlKeys.*:RealPlatform.*:Options.*:SettingsFile.*'
# Around the game, the suites nearest the fault's file run first: most faults
# are caught there within seconds, and the rest of the suite runs only when
# they pass, so the figure is the same as for one whole run.
nearest_suites() {
  case "$1" in
    replay/*) echo 'Replay*:Record*:Kept*:CatchUp.*:ContinueOption.*:Offer.*' ;;
    app/Settings.cpp|app/Options.cpp) echo 'Options.*:SettingsFile.*:Terminal.*:ReplayOptions.*:ContinueOption.*:Pause.*' ;;
    app/Games.cpp) echo 'Kept.*:Offer.*:ContinueOption.*:CatchUp.*' ;;
    app/Shots.cpp|lab/*) echo 'Lab*:Shots.*' ;;
    app/*) echo 'ReplayFiles.*:ShellCommand.*:Kept.*' ;;
    platform/Catalogue.cpp|platform/Languages.cpp) echo 'Catalogue.*:Languages.*:Language.*' ;;
    platform/Surface.cpp) echo 'Surface.*:Chips.*:Pictures.*:Drawing.*:Text.*' ;;
    platform/sdl/AudioFiles.cpp) echo 'MidiFiles.*:EffectFiles.*:MusicFiles.*:PageAudio.*:Sound.*' ;;
    platform/posix/Files.cpp) echo 'WholeFiles.*:ReplayFiles.*:SettingsFile.*' ;;
  esac
}
run_suite() {
  local log=$1 file=${2:-} skip="Soak.*:Determinism.*" first
  case "$file" in
    core/*|screen/*|staff/*|creatures/*|sound/*|scenes/*) skip="$PLATFORM_ONLY:$skip" ;;
  esac
  : >"$log"
  first=$(nearest_suites "$file")
  if [ -n "$first" ]; then
    (cd "$BLD" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -k 10 150 tests/pikora_tests \
        --gtest_brief=1 --gtest_fail_fast --gtest_filter="$first-$skip" >>"$log" 2>&1) 2>>"$log" || return 1
    skip="$first:$skip"
  fi
  # The shell's own word on a crash goes to the log too.
  (cd "$BLD" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -k 10 150 tests/pikora_tests \
      --gtest_brief=1 --gtest_fail_fast --gtest_filter="-$skip" >>"$log" 2>&1) 2>>"$log" &&
  (cd "$BLD" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy PIKORA_SOAK_GAMES=${PIKORA_MUTANTS_SOAK:-200} timeout -k 10 180 \
      tests/pikora_tests --gtest_brief=1 --gtest_fail_fast --gtest_filter='Soak.*:Determinism.*' >>"$log" 2>&1) 2>>"$log"
}

sync_copy
FAULTS=$(list_faults)
[ -z "$PATTERN" ] || FAULTS=$(grep -E -- "$PATTERN" <<<"$FAULTS" || true)
# A sample for a quicker figure: every curated fault, and the automatic ones
# whose number is a multiple of N.
[ -z "${PIKORA_MUTANTS_EVERY:-}" ] ||
  FAULTS=$(awk -F'\t' -v n="$PIKORA_MUTANTS_EVERY" -v k="${PIKORA_MUTANTS_OFFSET:-0}" \
    '($7 == "curated" && k == 0) || $1 % n == k' <<<"$FAULTS")
if [ "$LIST_ONLY" = 1 ]; then
  printf '%s\n' "$FAULTS"
  echo "$(grep -c . <<<"$FAULTS") faults"
  exit 0
fi

if [ ! -f "$BLD/CMakeCache.txt" ]; then
  # Linking the test binary is most of each fault's build: lld where the
  # machine has it, else gold, both several times quicker than the default.
  linker=gold
  command -v ld.lld >/dev/null && linker=lld
  cmake -S "$SRC" -B "$BLD" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
        -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=$linker -DCMAKE_UNITY_BUILD=OFF -DPIKORA_SANITIZED_TESTS=OFF >/dev/null
fi
echo "building the scratch copy once..."
cmake --build "$BLD" -j"$JOBS" --target pikora_tests >"$WORK/build.log" 2>&1 ||
  { tail -20 "$WORK/build.log"; echo "the scratch copy does not build" >&2; exit 1; }
run_suite "$WORK/test.log" || { tail -20 "$WORK/test.log"; echo "the suite fails without any fault" >&2; exit 1; }

# The fault's file is put back when the script stops, however it stops.
CURRENT=""
restore() {
  if [ -n "$CURRENT" ]; then cp "$WORK/pristine" "$SRC/$CURRENT"; CURRENT=""; fi
}
trap 'restore' EXIT
trap 'restore; exit 130' INT TERM

caught=0 total=0 equivalent=0 broken=0
START=$(date +%s)
while IFS=$'\t' read -r id file line col old new kind; do
  # The line, led by the function it stands in: the same line in two
  # functions may be two different faults.
  fn=$(head -n "$line" "$SRC/$file" | grep -E '^[A-Za-z].*[A-Za-z0-9_]\(' | tail -1 | sed -E 's/\(.*//; s/.*[ :]//' || true)
  text="$fn: $(sed -n "${line}p" "$SRC/$file" | sed 's/^ *//')"
  fault="$old $new"
  [ "$kind" = curated ] && fault=curated
  place="$file:$line"
  shown="$old → $new"
  [ "$kind" = curated ] && shown=$(printf '%s' "$new" | sed 's/\\n/ ⏎ /g; s/^ *//')
  if [ "$kind" = curated ]; then why=$(equivalent_reason "$file" "$old" "$fault")
  else why=$(equivalent_reason "$file" "$text" "$fault"); fi
  if [ -n "$why" ]; then
    equivalent=$((equivalent + 1))
    kindword=equivalent
    [[ "$why" == undefined:* ]] && kindword=undefined why=${why#undefined: }
    [[ "$why" == negligible:* ]] && kindword=negligible why=${why#negligible: }
    printf '%4d %-10s %-24s %s   (%s)\n' "$id" "$kindword" "$place" "$shown" "$why"
    continue
  fi
  cp "$SRC/$file" "$WORK/pristine"
  CURRENT=$file
  replace_at "$SRC/$file" "$line" "$col" "$old" "$new"
  # Nothing in the loop may read its input, the list of faults: a fault
  # that leaves gnuplot reading the lab's own input once swallowed the rest.
  if ! cmake --build "$BLD" -j"$JOBS" --target pikora_tests >"$WORK/build.log" 2>&1 </dev/null; then
    broken=$((broken + 1))
    printf '%4d no-build   %-24s %s\n' "$id" "$place" "$shown"
    restore
    continue
  fi
  total=$((total + 1))
  if run_suite "$WORK/test.log" "$file" </dev/null; then
    printf '%4d ALIVE      %-24s %s   | %s\n' "$id" "$place" "$shown" "$text"
  else
    caught=$((caught + 1))
    by=$(grep -m1 -oE '^\[  FAILED  \] [^ ]+' "$WORK/test.log" | sed 's/.*\] //; s/,$//' || true)
    [ -n "$by" ] || by="a crash or a hang"
    printf '%4d caught     %-24s %s   by %s\n' "$id" "$place" "$shown" "$by"
  fi
  restore
done <<<"$FAULTS"
restore
# Leave the copy built as the tree is.
cmake --build "$BLD" -j"$JOBS" --target pikora_tests >"$WORK/build.log" 2>&1 || true
echo "caught $caught of $total ($equivalent equivalent, negligible or undefined faults left out, reasons in scripts/mutants.sh; $broken did not build; $(( ($(date +%s) - START) / 60 )) min)"
