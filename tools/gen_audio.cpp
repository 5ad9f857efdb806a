// Writes the game's music and effects into a folder at build time:
//   gen_audio OUTDIR   ->  OUTDIR/bg/bg1.mid, OUTDIR/se/se1 ... se10 (no se7)
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/audio_gen.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_audio OUTDIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  fs::path out(argv[1]);
  std::error_code ec;
  fs::create_directories(out / "bg", ec);
  fs::create_directories(out / "se", ec);
  if (ec) {
    std::fprintf(stderr, "gen_audio: cannot make %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  bool ok = gen::WriteTune((out / "bg" / "bg1.mid").string());
  for (int n : {1, 2, 3, 4, 5, 6, 8, 9, 10})
    ok = gen::WriteEffect(n, (out / "se" / ("se" + std::to_string(n))).string()) && ok;
  if (!ok) std::fprintf(stderr, "gen_audio: could not write every file\n");
  return ok ? 0 : 1;
}
