// The floor of the start-up benchmark: a bare SDL program that opens a window the size of the
// demo game's screen, presents one frame through the window surface (what the software
// renderer does), says so on stdout and ends. Nothing a game program could skip.
#include <SDL2/SDL.h>

#include <cstdio>

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0) return 1;
  SDL_Window* window =
      SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1280, 720, 0);
  if (!window) return 1;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface) return 1;
  SDL_FillRect(surface, nullptr, 0);
  SDL_UpdateWindowSurface(window);
  std::puts("first frame shown");
  std::fflush(stdout);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
