// Writes the desktop icon: our logo scaled up two times, sharp pixels kept.
#include <cstdio>

#include "platform/Platform.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT.png\n");
    return 2;
  }
  auto pics = plat::LoadPictures();
  const plat::Surface& logo = pics->Rogo;
  plat::Surface icon(logo.W() * 2, logo.H() * 2);
  for (int y = 0; y < icon.H(); ++y)
    for (int x = 0; x < icon.W(); ++x) icon.Set(x, y, logo.At(x / 2, y / 2));
  return icon.SavePng(argv[1]) ? 0 : 1;
}
