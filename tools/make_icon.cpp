// Writes the desktop icons: our logo drawn afresh at each size the desktops
// ask for, the corners around the badge left transparent.
//   pikora_icon LOGO.svg OUTDIR SIZE...  ->  OUTDIR/SIZExSIZE/pikora.png
#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: pikora_icon LOGO.svg OUTDIR SIZE...\n");
    return 2;
  }
  for (int i = 3; i < argc; ++i) {
    int size = std::atoi(argv[i]);
    SDL_RWops* rw = SDL_RWFromFile(argv[1], "rb");
    SDL_Surface* icon = rw && size > 0 ? IMG_LoadSizedSVG_RW(rw, size, size) : nullptr;
    if (rw) SDL_RWclose(rw);
    std::string dir = std::string(argv[2]) + "/" + argv[i] + "x" + argv[i];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!icon || IMG_SavePNG(icon, (dir + "/pikora.png").c_str()) != 0) {
      std::fprintf(stderr, "pikora_icon: cannot make the %s icon: %s\n", argv[i], IMG_GetError());
      return 1;
    }
    SDL_FreeSurface(icon);
  }
  return 0;
}
