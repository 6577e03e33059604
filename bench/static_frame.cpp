// The floor of the CPU measurements: an SDL 1.2 program that shows one unchanged
// 640x480 frame and presents it whole 100 times a second, polling its events. By default
// it sleeps until each next frame is due, the least a program drawing 100 frames a
// second costs; with --poll-1ms it polls its events every millisecond in between, as a
// loop that sleeps 1 ms at a time (the usual SDL 1.2 game loop) does.
//
// Usage: plimo_static_frame [--poll-1ms] [--fullscreen] [picture.bmp]   (ends on a quit
// event); --fullscreen takes the screen as the game does when started without arguments.
#include <SDL.h>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    bool pollEachMs = argc > 1 && strcmp(argv[1], "--poll-1ms") == 0;
    if (pollEachMs) {
        argc--;
        argv++;
    }
    bool fullscreen = argc > 1 && strcmp(argv[1], "--fullscreen") == 0;
    if (fullscreen) {
        argc--;
        argv++;
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption("Plimo floor", nullptr);
    SDL_Surface *screen = SDL_SetVideoMode(640, 480, 32, fullscreen ? SDL_FULLSCREEN : 0);
    if (!screen) {
        fprintf(stderr, "Unable to set up video: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_Surface *picture = argc > 1 ? SDL_LoadBMP(argv[1]) : nullptr;
    if (picture)
        SDL_BlitSurface(picture, nullptr, screen, nullptr);
    else
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0x20, 0x30, 0x60));
    Uint32 next = SDL_GetTicks();
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) {
                SDL_Quit();
                return 0;
            }
        }
        Uint32 t = SDL_GetTicks();
        if (static_cast<Sint32>(next - t) > 0) {
            SDL_Delay(pollEachMs ? 1 : next - t);
            continue;
        }
        SDL_UpdateRect(screen, 0, 0, 0, 0);
        next += 10;
        if (static_cast<Sint32>(t - next) > 100)
            next = t; // fell far behind: start the cadence again
    }
}
