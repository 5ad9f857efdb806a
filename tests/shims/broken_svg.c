// Preloaded into the game by a test: SDL_image's SVG reader fails as it
// would on a damaged picture, which the game carries no way to have.
#include <SDL2/SDL_image.h>

SDL_Surface* IMG_LoadSizedSVG_RW(SDL_RWops* src, int width, int height) {
  (void)src, (void)width, (void)height;
  SDL_SetError("the test broke every picture");
  return NULL;
}
