// The mixer backend, heard through SDL's disk audio driver (raw 16-bit stereo
// at 44.1 kHz written to a file, faster than real time), and the generated
// music and effect files.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "core/Form.h"
#include "platform/sdl/AudioFiles.h"
#include "platform/headless/Headless.h"
#include "platform/desktop/RenderedTune.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SampledAudio.h"
#include "tests/Env.h"
#include "tests/Folder.h"

namespace fs = std::filesystem;

namespace {

const std::string kBuilt = PIKORA_AUDIO_DIR;  // where the build put bg/ and se/
constexpr size_t kSecond = 44100 * 4;         // bytes of one second of output
constexpr size_t kSlack = 3 * 4096;           // mixer buffers still on their way to the file
constexpr int kHeard = 300;                   // a sample beyond this is sound

std::vector<uint8_t> FileBytes(const std::string& path) {
  bool ok = false;
  std::vector<uint8_t> b = plat::ReadFileBytes(path, ok);
  EXPECT_TRUE(ok) << path;
  return b;
}

// A format-0 MIDI file at 480 ticks a quarter from (delta, event bytes) pairs.
std::vector<uint8_t> Midi(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& events) {
  std::vector<uint8_t> body;
  for (const auto& [delta, ev] : events) {
    for (int s = 21; s > 0; s -= 7)
      if (delta >> s) body.push_back(uint8_t(0x80 | ((delta >> s) & 0x7F)));
    body.push_back(delta & 0x7F);
    body.insert(body.end(), ev.begin(), ev.end());
  }
  std::vector<uint8_t> f{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k'};
  for (int s = 24; s >= 0; s -= 8) f.push_back(uint8_t(body.size() >> s));
  f.insert(f.end(), body.begin(), body.end());
  return f;
}
const std::vector<uint8_t> kEnd{0xFF, 0x2F, 0x00};

void Write(const fs::path& p, const std::vector<uint8_t>& b) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A fresh folder and environment variables set for one test, put back after it.
class Sound : public pktest::InFolder {
 protected:
  void SetUp() override {
    InFolder::SetUp();
    if (HasFatalFailure()) return;
    out_ = (dir / "out.raw").string();
    env_.Set("SDL_AUDIODRIVER", "disk");
    env_.Set("SDL_DISKAUDIOFILE", out_.c_str());
    env_.Set("SDL_DISKAUDIODELAY", "1");
    env_.Set("PIKORA_SOUNDFONT", "/usr/share/sounds/sf2/TimGM6mb.sf2");  // small, quick to load, if there
  }
  void TearDown() override {
    audio.reset();
    InFolder::TearDown();
  }
  void Start() { audio = plat::MakeSdlAudio(dir.string() + "/"); }
  bool HaveSoundFont() { return !plat::FindSoundFont(dir.string() + "/").empty(); }

  size_t Size() {
    std::error_code ec;
    auto n = fs::file_size(out_, ec);
    return ec ? 0 : size_t(n) & ~size_t(3);
  }
  // Waits for a condition, within a wall-clock limit in seconds.
  bool Until(const std::function<bool()>& pred, double limit = 15) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit);
    while (!pred())
      if (std::chrono::steady_clock::now() > end) return false;
      else std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return true;
  }
  bool WaitFor(size_t bytes) { return Until([&] { return Size() >= bytes; }); }
  std::vector<int16_t> Samples(size_t from, size_t to) {
    EXPECT_TRUE(WaitFor(to)) << "the output stopped growing";
    std::vector<int16_t> s(to > from ? (to - from) / 2 : 0);
    std::ifstream f(out_, std::ios::binary);
    f.seekg(std::streamoff(from));
    f.read(reinterpret_cast<char*>(s.data()), std::streamsize(s.size() * 2));
    return s;
  }
  int Peak(size_t from, size_t to) {
    int p = 0;
    for (int16_t v : Samples(from, to)) p = std::max(p, std::abs(int(v)));
    return p;
  }
  // Where the output first sounds at or after a position; 0 if not within the limit.
  size_t SoundFrom(size_t from, double limit = 15) {
    size_t found = 0, at = from;
    Until([&] {
      const size_t end = std::max(at, Size());
      std::vector<int16_t> s = Samples(at, end);
      for (size_t i = 0; i < s.size() && !found; ++i)
        if (std::abs(int(s[i])) > kHeard) found = at + 2 * i;
      at = end;
      return found > 0;
    }, limit);
    return found;
  }
  // Rising zero crossings a second of the left channel.
  double Pitch(size_t from, size_t to) {
    std::vector<int16_t> s = Samples(from, to);
    int crossings = 0;
    for (size_t i = 2; i < s.size(); i += 2) crossings += s[i - 2] < 0 && s[i] >= 0;
    return crossings / (double(to - from) / kSecond);
  }

  // What the game asks of a piece that is high for half a second, then low:
  // it plays from the top, a stop is silent, play goes on where it stood and
  // a rewind starts from the top again. `slack` is the mixer's buffers still
  // on their way; gives where the rewound piece sounds, 0 if it does not.
  size_t PlaysStopsGoesOnAndRewinds(pk::Form1& f, size_t slack, size_t firstFrom, size_t stopAfter) {
    f.OpenM(1);
    EXPECT_EQ(audio->MusicMode(), "stopped");
    f.PlayM(0);
    EXPECT_EQ(audio->MusicMode(), "playing");
    size_t on = SoundFrom(firstFrom);
    EXPECT_GT(on, 0u) << "the piece never sounded";
    if (!on) return 0;
    EXPECT_GT(Pitch(on + kSecond / 10, on + kSecond * 4 / 10), 1200) << "the high part first";
    WaitFor(on + stopAfter);
    f.PlayM(1);
    EXPECT_EQ(audio->MusicMode(), "stopped");
    const size_t off = Size() + slack;
    EXPECT_EQ(Peak(off, off + kSecond / 2), 0) << "sound goes on after the stop";
    f.PlayM(0);
    on = SoundFrom(off);
    EXPECT_GT(on, 0u) << "the piece did not go on after the stop";
    if (!on) return 0;
    EXPECT_LT(Pitch(on + kSecond / 20, on + kSecond / 4), 600) << "it goes on where it stood, with the low part";
    f.PlayM(1);
    f.PlayM(2);
    EXPECT_EQ(audio->MusicMode(), "stopped");
    f.PlayM(0);
    on = SoundFrom(Size() + slack);
    EXPECT_GT(on, 0u) << "the piece did not start again after the rewind";
    if (!on) return 0;
    EXPECT_GT(Pitch(on + kSecond / 10, on + kSecond * 4 / 10), 1200) << "a rewind starts from the top";
    return on;
  }

  std::string out_;
  pktest::Env env_;
  std::unique_ptr<plat::SdlAudio> audio;
};

// The game's own procedures on the mixer: the window with a headless clock.
struct MixerPlatform : plat::Headless {
  explicit MixerPlatform(plat::Audio& a) : mixer(a) {}
  plat::Audio& Sound() override { return mixer; }
  plat::Audio& mixer;
};

TEST_F(Sound, MusicPlaysStopsResumesRewindsAndStartsAgainAfterItsEnd) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont on this machine";
  // Nearer real time: the end is seen by polling, and a busy machine must not
  // let the output run far past it meanwhile.
  env_.Set("SDL_DISKAUDIODELAY", "8");
  Start();
  audio->MusicOpen(kBuilt + "bg/bg1.mid");  // the game's own tune
  audio->MusicPlay();
  size_t on = SoundFrom(Size());
  ASSERT_GT(on, 0u) << "the tune never sounded";
  EXPECT_GT(Peak(on + kSecond, on + 2 * kSecond), 1000) << "the tune fell silent after a second";

  // A high flute note (C7) for half a second, then a low one (C3) never
  // switched off: the piece still ends after two seconds, by its length.
  Write(dir / "bg" / "bg1.mid", Midi({{0, {0xC0, 73}}, {0, {0x90, 96, 110}}, {480, {0x80, 96, 0}},
                                       {0, {0x90, 48, 110}}, {1440, kEnd}}));
  MixerPlatform mp(*audio);
  pk::Form1 f(mp);
  f.AppPath = dir.string() + "/";
  on = PlaysStopsGoesOnAndRewinds(f, kSlack, Size() + kSlack, kSecond * 55 / 100);
  ASSERT_GT(on, 0u);

  ASSERT_TRUE(Until([&] { return audio->MusicMode() == "stopped"; })) << "the piece never ended";
  EXPECT_TRUE(Size() >= on + kSecond * 19 / 10 && Size() <= on + 3 * kSecond) << "stopped at " << Size() - on;
  f.Mjyoutai();
  EXPECT_EQ(audio->MusicMode(), "playing");
  on = SoundFrom(Size() + kSlack);
  EXPECT_GT(Pitch(on + kSecond / 10, on + kSecond * 4 / 10), 1200) << "the piece did not start again from its top";
  f.Mjyoutai();  // still playing: nothing changes
  EXPECT_EQ(audio->MusicMode(), "playing");
  f.PlayM(1);
  f.CloseM();
  EXPECT_EQ(audio->MusicMode(), "");
}

// The player's pause holds the tune where it is, unseen by the game; volume 0
// silences music and effects alike.
TEST_F(Sound, PauseHoldsTheTuneAndVolumeZeroSilencesAll) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont on this machine";
  env_.Set("SDL_DISKAUDIODELAY", "8");
  Start();
  plat::SdlAudio* control = audio.get();
  audio->MusicOpen(kBuilt + "bg/bg1.mid");
  audio->MusicPlay();
  ASSERT_GT(SoundFrom(Size()), 0u);
  control->Hold(true);
  size_t off = Size() + kSlack;
  EXPECT_EQ(Peak(off, off + kSecond / 2), 0) << "the tune plays on through the pause";
  EXPECT_EQ(audio->MusicMode(), "playing");
  control->Hold(false);
  ASSERT_GT(SoundFrom(Size()), 0u) << "the tune did not go on after the pause";
  control->Volume(0);
  WaitFor(Size() + kSecond);  // the synthesiser's own echo fades out first
  audio->Effect(kBuilt + "se/se1");
  off = Size() + kSlack;
  EXPECT_LT(Peak(off, off + kSecond / 2), kHeard) << "heard at volume 0";
}

// A flute phrase over a held organ chord, two seconds.
std::vector<uint8_t> Phrase() {
  return Midi({{0, {0xC0, 73}}, {0, {0xC1, 19}}, {0, {0x91, 48, 90}}, {0, {0x91, 55, 90}}, {0, {0x90, 84, 110}},
               {240, {0x80, 84, 0}}, {0, {0x90, 88, 100}}, {240, {0x80, 88, 0}}, {0, {0x90, 91, 120}},
               {480, {0x80, 91, 0}}, {480, {0x81, 48, 0}}, {0, {0x81, 55, 0}}, {480, kEnd}});
}

// The tune is heard exactly as FluidSynth plays it at the music's loudness,
// as the mixer's own synthesiser would, though it is made ahead of time.
TEST_F(Sound, TheTuneSoundsAsFluidSynthPlaysIt) {
  if (!HaveSoundFont() || std::system("command -v fluidsynth >/dev/null") != 0)
    GTEST_SKIP() << "no SoundFont or no fluidsynth on this machine";
  Write(dir / "bg" / "phrase.mid", Phrase());
  const std::string sf = plat::FindSoundFont(dir.string() + "/"), ref = (dir / "ref.raw").string();
  ASSERT_EQ(std::system(("fluidsynth -ni -g 0.6 -r 44100 -O s16 -T raw -F " + ref + " " + sf + " " +
                         (dir / "bg" / "phrase.mid").string() + " >/dev/null 2>&1").c_str()), 0);
  Start();
  audio->MusicOpen((dir / "bg" / "phrase.mid").string());
  audio->MusicPlay();
  const size_t on = SoundFrom(Size());
  ASSERT_GT(on, 0u) << "the tune never sounded";
  const size_t len = kSecond * 3 / 2;
  std::vector<int16_t> heard = Samples(on, on + len);
  const std::vector<uint8_t> bytes = FileBytes(ref);
  std::vector<int16_t> raw(bytes.size() / 2);
  std::memcpy(raw.data(), bytes.data(), raw.size() * 2);
  size_t first = 0;
  while (first < raw.size() && std::abs(int(raw[first])) <= kHeard) ++first;
  first &= ~size_t(1);  // the left sample of its frame, as SoundFrom finds it
  ASSERT_GE(raw.size(), first + heard.size());
  const std::vector<int16_t> want(raw.begin() + std::ptrdiff_t(first), raw.begin() + std::ptrdiff_t(first + heard.size()));
  double signal = 0, noise = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    signal += double(want[i]) * want[i];
    noise += (double(heard[i]) - want[i]) * (double(heard[i]) - want[i]);
  }
  EXPECT_GT(signal / want.size(), 1000.0 * 1000.0) << "FluidSynth's own rendering is nearly silent";
  EXPECT_LT(noise, signal / 1e4) << "what is heard differs from FluidSynth's rendering by more than its dither";
}

// A reader of the tune made ahead gets the very samples, however far it runs
// ahead of the making; a tune that cannot be made is silence of its length.
TEST_F(Sound, ReadersOfAMadeTuneWaitForItsSamples) {
  if (!HaveSoundFont()) GTEST_SKIP() << "no SoundFont on this machine";
  auto midi = std::make_shared<const std::vector<uint8_t>>(Phrase());
  const std::string sf = plat::FindSoundFont(dir.string() + "/");
  auto ReadAll = [](const std::shared_ptr<plat::RenderedTune>& t, size_t step) {
    SDL_RWops* rw = t->Open();
    std::vector<uint8_t> out(size_t(SDL_RWsize(rw)));
    for (size_t at = 0; at < out.size(); at += step) SDL_RWread(rw, out.data() + at, 1, std::min(step, out.size() - at));
    SDL_RWclose(rw);
    return out;
  };
  auto eager = ReadAll(plat::RenderedTune::Start(midi, sf, 44100, 2 * 44100, 0.6), 4096);
  auto settled = plat::RenderedTune::Start(midi, sf, 44100, 2 * 44100, 0.6);
  ASSERT_TRUE(settled->WaitFor(2 * 44100));
  EXPECT_EQ(eager.size(), 44u + 2 * 44100 * 4);
  EXPECT_TRUE(eager == ReadAll(settled, 1 << 20)) << "a reader ahead of the making read other samples";
  EXPECT_GT(*std::max_element(eager.begin() + 44, eager.end()), 100) << "the tune is silent";

  Write(dir / "broken.sf2", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
  auto broken = plat::RenderedTune::Start(midi, (dir / "broken.sf2").string(), 44100, 44100, 0.6);
  EXPECT_FALSE(broken->WaitFor(44100));
  EXPECT_NE(broken->Error().find("broken.sf2"), std::string::npos) << broken->Error();
  auto silence = ReadAll(broken, 1000);
  EXPECT_EQ(silence.size(), 44u + 44100 * 4);
  EXPECT_TRUE(std::all_of(silence.begin() + 44, silence.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(Sound, NewEffectCutsTheOldOneAndSilenceStopsIt) {
  Start();
  audio->Effect(kBuilt + "se/se1");  // a chime of almost a second
  const size_t on = SoundFrom(Size());
  ASSERT_GT(on, 0u);
  WaitFor(on + kSecond / 10);
  audio->Effect(kBuilt + "se/se10");  // a click of 40 ms
  const size_t cut = Size() + kSlack;
  EXPECT_EQ(Peak(cut + kSecond / 10, cut + kSecond / 2), 0) << "the chime rang on under the click";
  audio->Effect(kBuilt + "se/se1");
  ASSERT_GT(SoundFrom(Size()), 0u);
  audio->EffectSilence();
  const size_t off = Size() + kSlack;
  EXPECT_EQ(Peak(off, off + kSecond / 2), 0);
}

// An effect is judged by the chunks SDL takes from it, the first format and
// the first samples: a file with a second, harmless chunk of either after a
// monstrous first one (1 Hz: gigabytes once converted) is refused, and what
// SDL reads from each file is what the judgement saw.
// How long a tune plays, by its tempo map: 120 a minute until told
// otherwise, running status read; and what cannot be read is refused.
TEST(MidiFiles, ThePieceLastsAsItsTempoMapSays) {
  const std::vector<uint8_t> on{0x90, 60, 100}, off{0x80, 60, 0}, running{62, 100};
  struct Case {
    std::vector<uint8_t> file;
    double seconds;
    const char* error;  // "": read
  };
  std::vector<uint8_t> cut = Midi({{0, on}, {960, off}, {0, kEnd}}), timeless = Midi({{0, kEnd}}),
                       frames = Midi({{0, on}, {1000, off}, {0, kEnd}}), endless = Midi({{2000000, kEnd}}),
                       headless = Midi({{0, kEnd}}), shortHead = Midi({{0, kEnd}});
  cut.resize(cut.size() - 2);
  std::vector<uint8_t> trackless(headless.begin(), headless.begin() + 14);
  trackless[11] = 0;    // a header alone, of no tracks
  headless.resize(13);  // a header one byte short
  shortHead[7] = 5;     // a header of 5 bytes, where 6 are the least
  timeless[12] = timeless[13] = 0;             // no ticks a quarter
  frames[12] = uint8_t(-25), frames[13] = 40;  // 25 frames a second, 40 ticks a frame
  endless[12] = 0, endless[13] = 1;            // a tick a quarter: a million seconds
  const Case cases[] = {
      {Midi({{0, on}, {960, off}, {0, kEnd}}), 1.0, ""},
      {Midi({{0, on}, {0, running}, {480, {0xFF, 0x51, 3, 0x03, 0xD0, 0x90}}, {480, off}, {0, kEnd}}), 0.75, ""},
      {Midi({{0, {0xFF, 0x51, 3, 0x03, 0xD0, 0x90}}, {0, on}, {960, off}, {0, kEnd}}), 0.5, ""},  // from the start
      {Midi({}), 0, ""},  // a track with no events, ending the file
      {Midi({{0, on}, {960, off}}), 1.0, ""},  // a track without its end event
      {frames, 1.0, ""},
      {endless, 0, "no sensible length"},
      // Running status ends at a meta or a system exclusive event.
      {Midi({{0, on}, {0, {0xFF, 0x01, 0}}, {0, {60, 0}}, {0, kEnd}}), 0, "data without a status"},
      {Midi({{0, on}, {0, {0xF0, 1, 0xF7}}, {0, {60, 0}}, {0, kEnd}}), 0, "data without a status"},
      {cut, 0, "track runs past the end"},
      {timeless, 0, "bad header"},
      {headless, 0, "no MIDI header"},
      {trackless, 0, ""},
      {Midi({{480 * 4400, kEnd}}), 2200, ""},  // a time in four bytes
      {shortHead, 0, "bad header"},
      {Midi({{0, {60, 100}}, {0, kEnd}}), 0, "data without a status"},
      // A time between events in five bytes, one more than a number may take.
      {Midi({{0, {0x90, 60, 100, 0x81, 0x80, 0x80, 0x80}}, {0, kEnd}}), 0, "track cut short"},
  };
  for (const Case& c : cases) {
    const plat::MidiSummary m = plat::ParseMidi(c.file);
    EXPECT_EQ(m.error, c.error);
    EXPECT_EQ(m.ok, !*c.error) << m.error;
    if (m.ok) EXPECT_EQ(m.seconds, c.seconds);
  }
}

TEST(EffectFiles, JudgedByTheChunksSdlUses) {
  auto chunk = [](const char* id, std::vector<uint8_t> body) {
    std::vector<uint8_t> c(id, id + 4);
    for (int k = 0; k < 4; ++k) c.push_back(uint8_t(body.size() >> (8 * k)));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() & 1) c.push_back(0);
    return c;
  };
  auto fmt = [&](int encoding, int channels, int rate, int bits) {
    const auto h = plat::WavHeader(rate, channels, 0);
    std::vector<uint8_t> body(h.begin() + 20, h.begin() + 36);
    const uint32_t align = uint32_t(std::max(1, channels * bits / 8)), perSecond = uint32_t(rate) * align;
    body[0] = uint8_t(encoding), body[1] = uint8_t(encoding >> 8), body[14] = uint8_t(bits);
    for (int k = 0; k < 4; ++k) body[8 + size_t(k)] = uint8_t(perSecond >> (8 * k));
    body[12] = uint8_t(align), body[13] = uint8_t(align >> 8);
    return chunk("fmt ", body);
  };
  auto data = [&](size_t n) { return chunk("data", std::vector<uint8_t>(n, 0x80)); };
  auto first = [](std::vector<uint8_t> bytes, size_t n) { return bytes.resize(n), bytes; };
  auto wav = [](std::initializer_list<std::vector<uint8_t>> chunks) {
    std::vector<uint8_t> w{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) w.insert(w.end(), c.begin(), c.end());
    const size_t riff = w.size() - 8;
    for (int k = 0; k < 4; ++k) w[4 + size_t(k)] = uint8_t(riff >> (8 * k));
    return w;
  };
  const std::vector<uint8_t> pcm = fmt(1, 1, 22050, 16), pcm4000 = fmt(1, 1, 4000, 8);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string trouble;  // "": taken
    int sdlRate;          // the rate SDL reads; 0: SDL refuses the file, -1: not asked
    double sdlSeconds;
  };
  const Case cases[] = {
      {"plain", wav({fmt(1, 1, 22050, 16), data(4410)}), "", 22050, 0.1},
      {"two formats, 1 Hz first", wav({fmt(1, 1, 1, 16), fmt(1, 1, 44100, 16), data(40000)}), "rate of 1 Hz", 1, 20000},
      {"two sample chunks, the long one first", wav({fmt(1, 1, 4000, 8), data(300000), data(100)}), "lasts 75 s", 4000, 75},
      {"samples before the format", wav({data(100), fmt(1, 1, 22050, 16)}), "come before their format", 0, 0},
      {"an odd chunk, padded", wav({chunk("LIST", {1, 2, 3}), fmt(1, 2, 44100, 16), data(1764)}), "", 44100, 0.01},
      // Its size's top byte read too: SDL skips 16 MB, past the end.
      {"a chunk claiming 16 MB", wav({{'L', 'I', 'S', 'T', 4, 0, 0, 1, 0, 0, 0, 0}, fmt(1, 1, 22050, 16), data(100)}),
       "no format or no samples", -1, 0},
      {"a format cut short", wav({chunk("fmt ", {1, 0, 1, 0}), data(100)}), "format is cut short", 0, 0},
      {"ADPCM", wav({fmt(2, 1, 22050, 4), data(1000)}), "not PCM", -1, 0},
      {"12 bits", wav({fmt(1, 1, 22050, 12), data(1000)}), "12 bits a sample", -1, 0},
      {"24 bits", wav({fmt(1, 1, 22050, 24), data(1002)}), "", -1, 0},
      {"32 bits", wav({fmt(1, 1, 22050, 32), data(1000)}), "", -1, 0},
      {"64-bit floats", wav({fmt(3, 1, 22050, 64), data(1000)}), "", -1, 0},
      {"64-bit whole numbers", wav({fmt(1, 1, 22050, 64), data(1000)}), "64 bits a sample", -1, 0},
      // At the edges of the chunks and the file.
      {"a format and nothing after", wav({pcm}), "no format or no samples", 0, 0},
      {"no samples, their header last", wav({pcm, data(0)}), "", 22050, 0},
      {"a chunk's header cut short", wav({pcm, first(data(0), 7)}), "no format or no samples", -1, 0},
      {"a format cut by the file's end", wav({first(pcm, 23)}), "format is cut short", -1, 0},
      {"a format of 15 bytes", wav({chunk("fmt ", first({pcm.begin() + 8, pcm.end()}, 15)), data(100)}), "format is cut short", -1, 0},
      {"no channels", wav({fmt(1, 0, 22050, 16), data(100)}), "claims 0 channels", -1, 0},
      {"8 channels", wav({fmt(1, 8, 22050, 16), data(1600)}), "", -1, 0},
      {"9 channels", wav({fmt(1, 9, 22050, 16), data(1800)}), "claims 9 channels", -1, 0},
      {"3999 Hz", wav({fmt(1, 1, 3999, 8), data(100)}), "rate of 3999 Hz", -1, 0},
      {"192000 Hz", wav({fmt(1, 1, 192000, 8), data(100)}), "", -1, 0},
      {"192001 Hz", wav({fmt(1, 1, 192001, 8), data(100)}), "rate of 192001 Hz", -1, 0},
      {"60.5 s", wav({fmt(1, 1, 4000, 8), data(242000)}), "lasts 60 s", -1, 0},
      // Samples that claim more than the file holds are judged by what it holds.
      {"60 s held, 75 claimed", wav({pcm4000, first(data(300000), 8 + 240000)}), "", -1, 0},
      {"a byte more held", wav({pcm4000, first(data(300000), 8 + 240001)}), "lasts 60 s", -1, 0},
  };
  for (const Case& c : cases) {
    const std::string trouble = plat::WavTrouble(c.bytes);
    if (c.trouble.empty()) EXPECT_EQ(trouble, "") << c.what;
    else EXPECT_NE(trouble.find(c.trouble), std::string::npos) << c.what << ": " << trouble;
    if (c.sdlRate < 0) continue;
    SDL_AudioSpec spec{};
    Uint8* buf = nullptr;
    Uint32 len = 0;
    const bool read = SDL_LoadWAV_RW(SDL_RWFromConstMem(c.bytes.data(), int(c.bytes.size())), 1, &spec, &buf, &len);
    EXPECT_EQ(read, c.sdlRate > 0) << c.what << ": " << SDL_GetError();
    if (!read) continue;
    EXPECT_EQ(spec.freq, c.sdlRate) << c.what;
    const double seconds = double(len) / (spec.channels * SDL_AUDIO_BITSIZE(spec.format) / 8) / spec.freq;
    EXPECT_NEAR(seconds, c.sdlSeconds, c.sdlSeconds / 100) << c.what;
    SDL_FreeWAV(buf);
  }
  // "RIFF", its size and "WAVE" at the least; one byte short is no WAV.
  const std::vector<uint8_t> head{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
  EXPECT_TRUE(plat::IsWavData(head));
  EXPECT_FALSE(plat::IsWavData(std::span(head).first(11)));
  // The beep that stands in for a missing effect: as SDL reads it, 0.15 s.
  const std::vector<uint8_t> beep = plat::DefaultBeepWav();
  SDL_AudioSpec spec{};
  Uint8* buf = nullptr;
  Uint32 len = 0;
  ASSERT_TRUE(SDL_LoadWAV_RW(SDL_RWFromConstMem(beep.data(), int(beep.size())), 1, &spec, &buf, &len));
  EXPECT_EQ(plat::WavTrouble(beep), "");
  EXPECT_EQ(len, beep.size() - 44);
  const uint32_t claimed = beep[40] | beep[41] << 8 | beep[42] << 16 | uint32_t(beep[43]) << 24;
  EXPECT_EQ(claimed, beep.size() - 44) << "the header claims other samples than it has";
  EXPECT_NEAR(double(len) / 2 / spec.freq, 0.15, 0.001);
  // Loud enough and never clipping, and without a click at either end: it
  // swells in over its first 5 ms and fades out over its last 20.
  auto peak = [&](double from, double to) {
    int most = 0;
    for (size_t i = size_t(from * spec.freq); i < size_t(to * spec.freq); ++i)
      most = std::max(most, std::abs(int(int16_t(buf[2 * i] | buf[2 * i + 1] << 8))));
    return most;
  };
  EXPECT_NEAR(peak(0, 0.15), 12000, 100);
  EXPECT_LT(peak(0, 0.001), 2500);
  EXPECT_LT(peak(0.149, 0.15), 700);
  SDL_FreeWAV(buf);
}

// A piece of music is read whole up to 64 MB.
TEST(MusicFiles, AreReadUpTo64MB) {
  const std::string path = "/tmp/pikora-music-" + std::to_string(getpid());  // two suites may run at once
  for (const size_t size : {size_t(64) << 20, (size_t(64) << 20) + 1}) {
    std::ofstream(path, std::ios::trunc);
    fs::resize_file(path, size);
    bool ok = false;
    const size_t read = plat::ReadFileBytes(path, ok).size();
    EXPECT_EQ(ok, size == size_t(64) << 20) << size;
    EXPECT_EQ(read, ok ? size : 0) << size;
  }
  fs::remove(path);
}

TEST_F(Sound, MissingOrBrokenFilesGiveSilenceOrTheBeepAndOneLogLineEach) {
  Write(dir / "se" / "se3", FileBytes(kBuilt + "bg/bg1.mid"));  // no WAV, though the mixer would take it
  Write(dir / "bg" / "bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0, 'M', 'T', 'r', 'k', 9, 9});
  Write(dir / "bg" / "junk", {'n', 'o', ' ', 'm', 'u', 's', 'i', 'c'});
  // What a hostile or careless hand may put there: a folder, a named pipe
  // (opening it would wait for ever), a device without end, a file of
  // 200 MB, and an effect claiming a rate of 1 Hz (600 MB once converted).
  auto hostile = [&](const fs::path& p, int kind) {
    fs::create_directories(p.parent_path());
    switch (kind) {
      case 0: fs::create_directory(p); break;
      case 1: EXPECT_EQ(mkfifo(p.c_str(), 0644), 0); break;
      case 2: fs::create_symlink("/dev/zero", p); break;
      default: Write(p, {}), fs::resize_file(p, 200u << 20); break;
    }
  };
  for (int kind = 0; kind <= 3; ++kind) {
    hostile(dir / "bg" / ("hostile" + std::to_string(kind)), kind);
    hostile(dir / "se" / ("se" + std::to_string(kind + 4)), kind);
  }
  const auto header = plat::WavHeader(1, 1, 40000);
  std::vector<uint8_t> slow(header.begin(), header.end());
  slow.resize(slow.size() + 40000);
  Write(dir / "se" / "se8", slow);
  Start();
  testing::internal::CaptureStderr();
  const auto begun = std::chrono::steady_clock::now();
  for (const char* name : {"bg1.mid", "bg1.mid", "bad.mid", "junk", "hostile0", "hostile1", "hostile2", "hostile3"}) {  // bg1.mid is missing
    audio->MusicOpen((dir / "bg" / name).string());
    audio->MusicPlay();
    EXPECT_TRUE(Until([&] { return audio->MusicMode().empty(); }, 5)) << name << " still counts as open";
    audio->MusicRewind();
    audio->MusicPlay();
    audio->MusicStop();
    audio->MusicClose();
  }
  const size_t from = Size() + kSlack;
  EXPECT_EQ(Peak(from, from + kSecond / 2), 0);
  for (const char* name : {"se1", "se1", "se3", "se3", "se4", "se5", "se6", "se7", "se8"}) {  // se1 is missing
    audio->Effect((dir / "se" / name).string());
    const size_t on = SoundFrom(Size());
    ASSERT_GT(on, 0u) << name << " brought no beep";
    EXPECT_NEAR(Pitch(on, on + kSecond / 10), 880, 40) << name << " sounds as something else than the beep";
    WaitFor(on + kSecond / 4);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(10)) << "a file held the game up";
  const std::string log = testing::internal::GetCapturedStderr();
  for (const char* why : {"a folder", "no regular file (a pipe", "larger than 32 MB", "larger than 8 MB", "rate of 1 Hz"})
    EXPECT_NE(log.find(why), std::string::npos) << why << " in:\n" << log;
  for (const char* s : {"bg1.mid", "se1", "se3", "bad.mid", "cannot load the music", "hostile0", "hostile1", "hostile2",
                        "hostile3", "se4", "se5", "se6", "se7", "se8"}) {
    size_t n = 0;
    for (size_t p = log.find(s); p != std::string::npos; p = log.find(s, p + 1)) ++n;
    EXPECT_EQ(n, 1u) << s << " in:\n" << log;
  }
}

TEST_F(Sound, WithoutADeviceEveryCallReturnsAndOneLineIsLogged) {
  // No such driver; then a driver that starts but whose device cannot open.
  for (const char* driver : {"no_such_driver", "disk"}) {
    env_.Set("SDL_AUDIODRIVER", driver);
    env_.Set("SDL_DISKAUDIOFILE", "/nonexistent/folder/out.raw");
    testing::internal::CaptureStderr();
    Start();
    for (int k = 0; k < 2; ++k) {
      audio->MusicOpen(kBuilt + "bg/bg1.mid");
      audio->MusicPlay();
      EXPECT_EQ(audio->MusicMode(), "");
      audio->MusicStop();
      audio->MusicRewind();
      audio->MusicClose();
      audio->Effect(kBuilt + "se/se1");
      audio->EffectSilence();
    }
    audio.reset();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << driver << ": " << log;
  }
}

TEST_F(Sound, SoundFontIsChosenOnlyWhenItIsOne) {
  const std::vector<uint8_t> sf{'R', 'I', 'F', 'F', 0, 0, 0, 0, 's', 'f', 'b', 'k'};
  Write(dir / "b.sf2", sf);
  Write(dir / "a.sf2", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});  // named so, yet no SoundFont
  Write(dir / "env.sf3", sf);
  Write(dir / "a.txt", sf);  // a SoundFont not named so: never looked at
  const std::string d = dir.string() + "/";
  struct Case { std::string env, want; };
  ASSERT_EQ(mkfifo((dir / "pipe.sf2").c_str(), 0644), 0);  // would wait for a writer for ever
  for (const Case& c : {Case{"", d + "b.sf2"}, Case{d + "a.sf2", d + "b.sf2"}, Case{d + "env.sf3", d + "env.sf3"},
                        Case{d + "pipe.sf2", d + "b.sf2"}, Case{"none", ""}}) {
    env_.Set("PIKORA_SOUNDFONT", c.env.c_str());
    EXPECT_EQ(plat::FindSoundFont(d), c.want) << "PIKORA_SOUNDFONT=" << c.env;
  }
}

// The web page's sound: the tune made beforehand, beside its MIDI file, under
// the same rules. A WAV stands in for the OGG file here (the mixer tells the
// kind from the content): a high tone for half a second, then a low one for
// two and a half, a second longer than the piece the MIDI file describes.
std::vector<uint8_t> MadeTune() {
  std::vector<uint8_t> wav;
  const int frames = 44100 * 3;
  const auto h = plat::WavHeader(44100, 2, uint32_t(frames) * 4);
  wav.assign(h.begin(), h.end());
  double phase = 0;
  for (int i = 0; i < frames; ++i) {
    phase += 2 * 3.14159265358979 * (i < 44100 / 2 ? 2000 : 300) / 44100;
    const auto v = int16_t(8000 * std::sin(phase));
    for (int c = 0; c < 2; ++c) wav.push_back(uint8_t(v)), wav.push_back(uint8_t(v >> 8));
  }
  return wav;
}

// The page mixes in buffers twice the desktop's.
constexpr size_t kPageSlack = 2 * kSlack;

TEST_F(Sound, ThePagesMadeTunePlaysOnceStopsResumesRewindsAndEndsWithThePiece) {
  env_.Set("SDL_DISKAUDIODELAY", "16");
  // The piece: half a second high, then a low note never switched off; two seconds.
  Write(dir / "bg" / "bg1.mid", Midi({{0, {0xC0, 73}}, {0, {0x90, 96, 110}}, {480, {0x80, 96, 0}},
                                       {0, {0x90, 48, 110}}, {1440, kEnd}}));
  Write(dir / "bg" / "bg1.ogg", MadeTune());
  audio = plat::MakeSampledAudio();
  MixerPlatform mp(*audio);
  pk::Form1 f(mp);
  f.AppPath = dir.string() + "/";
  // Samples run ahead of the larger buffers: the stop waits a little longer.
  size_t on = PlaysStopsGoesOnAndRewinds(f, kPageSlack, Size(), kSecond * 6 / 10);
  ASSERT_GT(on, 0u);

  // The player's pause holds it, unseen by the game.
  static_cast<plat::SdlAudio&>(*audio).Hold(true);
  size_t held = Size() + kPageSlack;
  EXPECT_EQ(Peak(held, held + kSecond / 4), 0) << "the tune plays on through the pause";
  EXPECT_EQ(audio->MusicMode(), "playing");
  audio->Hold(false);
  on = SoundFrom(Size());
  ASSERT_GT(on, 0u) << "the tune did not go on after the pause";

  // Its end is the piece's, two seconds in, though the samples run a second longer.
  ASSERT_TRUE(Until([&] { return audio->MusicMode() == "stopped"; })) << "the piece never ended";
  EXPECT_LT(Size(), on + kSecond * 2) << "the end came with the samples, not with the piece";
  f.Mjyoutai();
  EXPECT_EQ(audio->MusicMode(), "playing");
  on = SoundFrom(Size() + kPageSlack);
  EXPECT_GT(Pitch(on + kSecond / 10, on + kSecond * 4 / 10), 1200) << "the piece did not start again from its top";
  f.PlayM(1);
  f.CloseM();
  EXPECT_EQ(audio->MusicMode(), "");
}

TEST_F(Sound, ThePageWithoutItsMadeTunePlaysSilentlyAndSaysSoOnce) {
  Write(dir / "bg" / "bg1.mid", FileBytes(kBuilt + "bg/bg1.mid"));
  audio = plat::MakeSampledAudio();
  testing::internal::CaptureStderr();
  for (int k = 0; k < 2; ++k) {
    audio->MusicOpen((dir / "bg" / "bg1.mid").string());
    audio->MusicPlay();
    EXPECT_EQ(audio->MusicMode(), "");
  }
  audio->Effect(kBuilt + "se/se1");
  EXPECT_GT(SoundFrom(Size()), 0u) << "the effects fell silent with the music";
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_NE(log.find("bg1.ogg"), std::string::npos) << log;
}

TEST(PageAudio, TheMadeTuneLiesBesideItsPiece) {
  for (auto [piece, made] : {std::pair{"/opt/pikora/bg/bg1.mid", "/opt/pikora/bg/bg1.ogg"},
                             std::pair{"bg1.mid", "bg1.ogg"}, std::pair{"/a.b/tune", "/a.b/tune.ogg"}})
    EXPECT_EQ(plat::MadeTunePath(piece), made) << piece;
}

}  // namespace
