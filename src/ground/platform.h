// What differs between the places the game runs: one interface, one file per platform.
// The desktop with X11 links platform_x11.cpp, a desktop without Xlib platform_plain.cpp
// (both over platform_desktop.cpp), the browser platform_web.cpp; CMake picks them.
#pragma once

#include <SDL.h>
#include <cstdint>

struct Mix_Chunk;

// Puts the process in order before anything else opens a file: /dev/null on any of
// descriptors 0-2 that a launcher left closed (else the display connection could take
// descriptor 2 and receive the game's error lines), and SIGPIPE ignored (a line written
// to a pipe nobody reads fails quietly instead of ending the game). Nothing in the browser.
void platformPrepareProcess();

// Prepares SDL's video start: on SDL 1.2 over SDL 2, its software renderer unless the
// environment chose; and refuses (failStartup) a start that could only end on a terminal
// or no display at all: no display named and no console framebuffer, or the display
// named not answering within about a second (an X server that resets itself refuses
// for a moment). Call before SDL_Init; the X display stays open until
// platformVideoStarted.
void platformPrepareVideo();

// After SDL_Init succeeded: lets go of what platformCheckDisplay held, refuses a fallback
// driver that draws in the terminal or nowhere, and turns a hang-up into the quit event.
void platformVideoStarted();

// After the video mode is set: finds the display connection, asks for held keys as one
// press, and on a full screen without a window manager gives the window the screen.
void platformWindowShown(bool fullscreen);

// Whether input ends the main loop's waits: the window system tells the game of input on
// a descriptor it can wait on (an X11 connection), or the page wakes the loop at a key;
// without either the game sleeps to its next step and polls then.
bool platformInputEndsWaits();

// Waits ms milliseconds or until input arrives, whichever comes first; true when the
// whole time passed without input (nor a signal). In the browser, which must never
// block, returns false at once.
bool platformWaitForWork(uint32_t ms);

// The desktop's wait on one descriptor: ms milliseconds, or until descriptor can be
// read (or a signal comes); true when the whole time passed. Not in the browser.
bool platformWaitForDescriptor(int descriptor, uint32_t ms);

// The longest gap (ms) the main loop keeps between frames on this platform, for a game
// that would keep wantedMs: the desktop and the browser alike keep it.
int32_t platformFrameGapMs(int32_t wantedMs);

// Milliseconds since SDL started, on a clock that a change of the date does not move,
// wrapping at 2^32; SDL's own count before the first read.
uint32_t platformTicks();

// Whether what was presented stays on screen until presented again: the page's canvas,
// which nothing else draws over (a canvas the browser gives back blank is put again by
// the page itself), needs no whole frame presented once a second; a desktop window may
// be drawn over by another program without the game being told.
bool platformKeepsShownPixels();

// True on SDL 1.2 over SDL 2 (sdl12-compat, versions from 1.2.50).
bool platformSdlOverSdl2();

// SDL 1.2's must-lock rule for the surfaces of this platform.
bool platformMustLock(const SDL_Surface *s);

// Copies up to max queued window events (SDL_ACTIVEEVENT: focus, visibility) without
// taking them off the queue; 0 where the queue cannot be looked into (the browser, which
// sends no such events either).
int platformPeekWindowEvents(SDL_Event *events, int max);

// While quiet, the sound library's own complaints on standard error are silenced: on a
// machine without a sound card ALSA writes several lines each time SDL looks for a
// device, where the game's one "no sound" line says all a player needs. Set around
// SDL's start of the audio subsystem and the opening of the device; a no-op where ALSA
// is not there.
void platformQuietSoundLibrary(bool quiet);

// Trims a loaded effect to whole device frames: SDL 1.2's rate conversion can end the
// samples inside one (4 bytes for 16-bit stereo). Nothing in the browser, where a chunk
// is a handle to a sound the browser decodes, with no samples of ours.
void platformKeepWholeFrames(Mix_Chunk *chunk);

// Lets go of a stream the mixer no longer reads.
void platformCloseStream(SDL_RWops *stream);

// Runs the main loop: pass() until it returns true, then end(). On the desktop each
// pass waits for its own work. The browser, which must not block, waits between passes
// instead: msUntilWork() says how long (ms, 0: work is due now), and a key wakes the
// loop at once, as input ends the desktop's waits. Returns when the loop is over (the
// browser exits instead, as the process would end).
void platformRunMainLoop(int32_t (*msUntilWork)(), bool (*pass)(), void (*end)());
