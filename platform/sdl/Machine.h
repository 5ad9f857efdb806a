// What the SDL backend does differently on a desktop, in a web page and on
// Windows. The window, its events and its drawing are the same code on all;
// each build links one side of this: platform/desktop/ (X11, threads,
// FluidSynth), platform/web/Page.cpp (a canvas, no threads, a tune made
// beforehand) or platform/windows/ (threads, a tune made beforehand).
#pragma once
#include <cstdint>
#include <string>

struct SDL_Window;

namespace plat::machine {

// Whether work may run on other threads: a page has only its own.
extern const bool kThreads;

// Flags for SDL_CreateWindow. A desktop window can be resized and start
// fullscreen; the page's canvas keeps its 800 x 600 and the page scales it.
uint32_t WindowFlags(bool fullscreen);

// The window's size as kept, made one the screen can show whole.
void FitWindow(int& w, int& h);
// For a side whose window is resizable (platform/sdl/SdlPlatform.cpp): never
// smaller than the least window, nor larger than the screen's usable part, as
// a size kept from another screen would make a window no one can see whole.
void FitToScreen(int& w, int& h);

// Once the window is open: what the system around it needs. Returns what
// Nap sleeps on (-1: nothing).
int Opened(SDL_Window* window);

// The window's caption changed.
void Renamed(SDL_Window* window);

// The window is about to close: a page keeps its last picture on show
// (SDL empties the canvas as it closes the window).
void Closing(SDL_Window* window);

// Sleeps at most ms, waking early for input where the system can tell.
void Nap(int handle, int ms);

// Tells the player of a fatal error, beside the line on stderr.
void ShowFatal(SDL_Window* window, const std::string& caption, const std::string& msg);

}  // namespace plat::machine
