// The yardstick for start-up: a bare SDL2 program that opens an 800 x 600
// window, presents one grey frame through a renderer and waits to be closed.
#include <SDL.h>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* w = SDL_CreateWindow("bare window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 600, 0);
  SDL_Renderer* r = w ? SDL_CreateRenderer(w, -1, 0) : nullptr;
  if (!r) return 1;
  SDL_SetRenderDrawColor(r, 128, 128, 128, 255);
  SDL_RenderClear(r);
  SDL_RenderPresent(r);
  for (SDL_Event e; SDL_WaitEvent(&e);)
    if (e.type == SDL_QUIT || e.type == SDL_KEYDOWN) break;
  SDL_DestroyRenderer(r);
  SDL_DestroyWindow(w);
  SDL_Quit();
  return 0;
}
