// What a frame draws, item by item, and the regions of the screen that changed since the
// frame on screen: so that an unchanged frame is neither drawn nor presented, and a
// changed one is redrawn and presented only where it changed.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <vector>

// A box of screen pixels, half-open: columns x0 .. x1 - 1, rows y0 .. y1 - 1. Empty when
// x0 >= x1 or y0 >= y1.
struct Box {
    int x0, y0, x1, y1;
};

// How the drawing primitives (text styles, fillEllipse, blitKeyedPicture) behave.
enum DrawPass : int32_t {
    PaintAll,   // paint every item: the plain way of drawing a frame
    Record,     // paint nothing; note each item's box and key in the frame's item list
    PaintDirty, // paint only the items whose box meets one of the dirty regions
};

extern DrawPass drawPass;

// Where a primitive may paint: the screen's pixels, or none.
struct DrawTarget {
    uint32_t *pixels; // pixel (x, y) of the screen is pixels[y * pitchWords + x]; null: paint nothing
    int pitchWords;   // 32-bit words from one row to the next
    Box box;          // the pixels the item may write, clipped to the screen

    explicit operator bool() const { return pixels != nullptr; }
    uint32_t *row(int y) const { return pixels + static_cast<size_t>(y) * pitchWords; }
};

// Called by every drawing primitive before it paints, with the box of every pixel it may
// write (clipped to the screen) and a key of everything that decides those pixels. The
// answer is the only way a primitive reaches the screen's pixels: a target to paint
// into now, or one without pixels (recording, or outside the regions being redrawn).
DrawTarget drawItem(Box box, uint64_t key);

// The whole screen as a target, for drawing outside the frame's passes (tests, glyph
// drawing called directly); it has no pixels while a frame is being recorded.
DrawTarget screenTarget();

// While true, the screen's pixel pointer is null during a record pass, so that a
// primitive that paints without asking drawItem crashes at once instead of writing to
// an unlocked screen. On in the tests and in sanitizer builds.
extern bool trapUnaskedPainting;

// FNV-1a 64 of len bytes, continuing from h (start with FrameKeySeed).
constexpr uint64_t FrameKeySeed = 0xcbf29ce484222325ULL;
uint64_t keyBytes(uint64_t h, const void *bytes, size_t len);

// h continued by one integer value, a word at a time (cheaper than keyBytes).
template <typename T> uint64_t keyOf(uint64_t h, T value) {
    static_assert(sizeof(T) <= 8, "one word at a time");
    h = (h ^ static_cast<uint64_t>(value)) * 0x9e3779b97f4a7c15ULL;
    return h ^ (h >> 32);
}

// The screen box of [x0, x1) x [y0, y1) given in wide coordinates, clipped to the screen.
Box clipBox(long long x0, long long y0, long long x1, long long y1);

// Starts recording a frame: the item list is emptied and drawPass becomes Record.
void beginFrameRecord();

// Ends recording and works out what must be redrawn against the frame on screen. The
// frame on screen is the one recorded by the last call of commitFrame; background is
// the picture blitted under the items (null: none, the last frame's pixels stay) and
// backgroundKey says what else decides it. An item counts as unchanged when the frame
// on screen drew the same key, and no item it overlaps changed places with it in the
// drawing order. Returns false when nothing changed. Otherwise dirtyRegions holds the
// regions to redraw: each contains whole every item it meets, so that items are never
// painted cut (a doubled text writes its lower rows from the upper). More than
// MaxDirtyRegions changed items make one region around them all, and regions covering
// more than WholeScreenPercent of the screen make it the whole screen.
constexpr size_t MaxDirtyRegions = 32;
constexpr long long WholeScreenPercent = 60;
bool findDirtyRegions(const SDL_Surface *background, uint64_t backgroundKey);

// The regions found by findDirtyRegions (for PaintDirty and for presenting).
const std::vector<SDL_Rect> &dirtyRegions();

// True when the dirty regions are the whole screen.
bool wholeScreenDirty();

// Ends a recording without drawing: a key of the recorded items in drawing order with
// their background, equal to onScreenFrameKey exactly when drawing them would change
// nothing (but for a one in 2^64 chance). drawPass is PaintAll again.
uint64_t recordedFrameKey(const SDL_Surface *background, uint64_t backgroundKey);

// The key of the frame on screen, as recordedFrameKey gave it; 0 when nothing is known.
uint64_t onScreenFrameKey();

// Makes the recorded frame the frame on screen (call after it was painted and presented).
void commitFrame();

// Forgets the frame on screen, so that the next frame is drawn and presented whole (after
// a dropped frame, or when the window lost its contents).
void invalidateFrame();

// Copies the regions of picture (same size and pixel format as the screen) to the same
// place on the screen surface, row by row; the caller holds the screen's lock.
void copyPictureRegions(const SDL_Surface *picture, const std::vector<SDL_Rect> &regions);

// The area in pixels of the last findDirtyRegions' regions (for tests and benchmarks).
long long dirtyArea();
