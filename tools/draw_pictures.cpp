// Draws every picture of the game from its source, as the desktop game does
// at start-up, into OUTDIR/NAME.bmp: the web page carries them drawn, since
// drawing and reducing them there would hold its first picture back by
// seconds on a phone.
//   pikora_draw_pictures OUTDIR
#include <cstdio>
#include <string>

#include "platform/Files.h"
#include "platform/kit/Pictures.h"
#include "screen/Look.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pikora_draw_pictures OUTDIR\n");
    return 2;
  }
  try {
    const auto pictures = plat::DecodePictures(look::kPictures);
    for (size_t i = 0; i < pictures->size(); ++i) {
      const std::string path = std::string(argv[1]) + "/" + look::kPictures[i].name + ".bmp";
      const std::vector<uint8_t> bmp = plat::BmpBytes((*pictures)[i]);
      if (bmp.empty() || !plat::WriteWholeFile(path, bmp, true).ok) {
        std::fprintf(stderr, "pikora_draw_pictures: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pikora_draw_pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
