// What a frame draws, item by item, and the regions of the screen that changed since the
// frame on screen.
#include "gfx/regions.h"

#include <algorithm>
#include <cstring>

#include "gfx/surface.h"

DrawPass drawPass = PaintAll;

// One drawn item: the key of what it draws and the pixels it may write.
struct Item {
    uint64_t key;
    Box box;
};

// More changed items than this are redrawn as the one box around them all: beyond it,
// sorting out many small regions costs more than it saves.
constexpr size_t MaxRegions = 32;

// Dirty regions covering more than this share of the screen are drawn and presented
// as the whole screen, which is then the cheaper way.
constexpr long long WholeScreenShare = 60; // percent

static std::vector<Item> recorded;       // the frame being drawn
static std::vector<Item> onScreen;       // the frame on screen, sorted by key
static bool onScreenValid = false;       // false: nothing known of the screen
static const SDL_Surface *onScreenBackground = nullptr;
static uint64_t onScreenBackgroundKey = 0;
static const SDL_Surface *recordedBackground = nullptr;
static uint64_t recordedBackgroundKey = 0;
static uint64_t onScreenKey = 0;
static std::vector<Box> dirty;
static std::vector<SDL_Rect> dirtyRects;
static bool wholeDirty = false;
static long long area = 0;

uint64_t keyBytes(uint64_t h, const void *bytes, size_t len) {
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    for (size_t i = 0; i < len; i++) {
        h ^= p[i];
        h *= 0x100000001b3ULL;
    }
    return h;
}

static bool isEmpty(const Box &b) { return b.x0 >= b.x1 || b.y0 >= b.y1; }

static bool meets(const Box &a, const Box &b) {
    return a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
}

static bool holds(const Box &outer, const Box &inner) {
    return outer.x0 <= inner.x0 && outer.y0 <= inner.y0 && outer.x1 >= inner.x1 && outer.y1 >= inner.y1;
}

static Box joined(const Box &a, const Box &b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

static long long boxArea(const Box &b) {
    return isEmpty(b) ? 0 : static_cast<long long>(b.x1 - b.x0) * (b.y1 - b.y0);
}

Box clipBox(long long x0, long long y0, long long x1, long long y1) {
    Box b;
    b.x0 = static_cast<int>(std::max(0LL, std::min(x0, static_cast<long long>(ScreenWidth))));
    b.x1 = static_cast<int>(std::max(0LL, std::min(x1, static_cast<long long>(ScreenWidth))));
    b.y0 = static_cast<int>(std::max(0LL, std::min(y0, static_cast<long long>(ScreenHeight))));
    b.y1 = static_cast<int>(std::max(0LL, std::min(y1, static_cast<long long>(ScreenHeight))));
    return b;
}

bool drawItem(Box box, uint64_t key) {
    switch (drawPass) {
    case Record:
        recorded.push_back({key, box});
        return false;
    case PaintDirty:
        if (isEmpty(box))
            return false;
        if (wholeDirty)
            return true;
        for (const Box &d : dirty) {
            if (meets(d, box))
                return true;
        }
        return false;
    default:
        return true;
    }
}

void beginFrameRecord() {
    recorded.clear();
    drawPass = Record;
}

static bool byKey(const Item &a, const Item &b) { return a.key < b.key; }

// Regions grow until every item they meet lies whole inside one of them, and regions
// that meet are joined; the items are in drawing order, the regions few.
static void growRegions() {
    bool changed = true;
    while (changed) {
        changed = false;
        for (const Item &item : recorded) {
            if (isEmpty(item.box))
                continue;
            for (Box &d : dirty) {
                if (meets(d, item.box) && !holds(d, item.box)) {
                    d = joined(d, item.box);
                    changed = true;
                }
            }
        }
        for (size_t i = 0; i < dirty.size(); i++) {
            for (size_t j = i + 1; j < dirty.size();) {
                if (meets(dirty[i], dirty[j])) {
                    dirty[i] = joined(dirty[i], dirty[j]);
                    dirty.erase(dirty.begin() + static_cast<long>(j));
                    changed = true;
                } else {
                    j++;
                }
            }
        }
    }
}

static void markWholeScreen() {
    wholeDirty = true;
    dirty.assign(1, Box{0, 0, ScreenWidth, ScreenHeight});
}

bool findDirtyRegions(const SDL_Surface *background, uint64_t backgroundKey) {
    drawPass = PaintAll;
    recordedBackground = background;
    recordedBackgroundKey = backgroundKey;
    std::sort(recorded.begin(), recorded.end(), byKey);
    dirty.clear();
    dirtyRects.clear();
    wholeDirty = false;
    area = 0;

    if (!onScreenValid || background != onScreenBackground || backgroundKey != onScreenBackgroundKey) {
        markWholeScreen();
    } else {
        // Items drawn in both frames stay as they are; each one drawn in only one of
        // them marks its box, where it appears or where it leaves the background.
        size_t i = 0, j = 0;
        while (i < recorded.size() || j < onScreen.size()) {
            if (j == onScreen.size() || (i < recorded.size() && recorded[i].key < onScreen[j].key)) {
                if (!isEmpty(recorded[i].box))
                    dirty.push_back(recorded[i].box);
                i++;
            } else if (i == recorded.size() || onScreen[j].key < recorded[i].key) {
                if (!isEmpty(onScreen[j].box))
                    dirty.push_back(onScreen[j].box);
                j++;
            } else {
                i++;
                j++;
            }
        }
        if (dirty.empty())
            return false;
        if (dirty.size() > MaxRegions) {
            Box all = dirty[0];
            for (const Box &d : dirty)
                all = joined(all, d);
            dirty.assign(1, all);
        }
        growRegions();
        long long total = 0;
        for (const Box &d : dirty)
            total += boxArea(d);
        if (total * 100 > WholeScreenShare * ScreenWidth * ScreenHeight)
            markWholeScreen();
    }

    // A whole screen needs no filtering: every item is painted.
    drawPass = wholeDirty ? PaintAll : PaintDirty;
    for (const Box &d : dirty) {
        SDL_Rect r;
        r.x = static_cast<Sint16>(d.x0);
        r.y = static_cast<Sint16>(d.y0);
        r.w = static_cast<Uint16>(d.x1 - d.x0);
        r.h = static_cast<Uint16>(d.y1 - d.y0);
        dirtyRects.push_back(r);
        area += boxArea(d);
    }
    return true;
}

const std::vector<SDL_Rect> &dirtyRegions() { return dirtyRects; }

bool wholeScreenDirty() { return wholeDirty; }

// The key of a sorted item list over its background.
static uint64_t frameKey(const std::vector<Item> &items, const SDL_Surface *background, uint64_t backgroundKey) {
    uint64_t h = keyOf(keyOf(FrameKeySeed, reinterpret_cast<uintptr_t>(background)), backgroundKey);
    for (const Item &item : items)
        h = keyOf(h, item.key);
    // 0 stands for "nothing known".
    return h == 0 ? 1 : h;
}

uint64_t recordedFrameKey(const SDL_Surface *background, uint64_t backgroundKey) {
    drawPass = PaintAll;
    std::sort(recorded.begin(), recorded.end(), byKey);
    return frameKey(recorded, background, backgroundKey);
}

uint64_t onScreenFrameKey() { return onScreenValid ? onScreenKey : 0; }

void commitFrame() {
    // recorded was sorted by findDirtyRegions; it becomes the frame on screen.
    onScreen.swap(recorded);
    recorded.clear();
    onScreenBackground = recordedBackground;
    onScreenBackgroundKey = recordedBackgroundKey;
    onScreenKey = frameKey(onScreen, onScreenBackground, onScreenBackgroundKey);
    onScreenValid = true;
    drawPass = PaintAll;
}

void invalidateFrame() {
    onScreenValid = false;
    onScreen.clear();
    drawPass = PaintAll;
}

void copyPictureRegions(const SDL_Surface *picture, const std::vector<SDL_Rect> &regions) {
    for (const SDL_Rect &r : regions) {
        for (int y = r.y; y < r.y + r.h; y++) {
            const uint32_t *from = static_cast<const uint32_t *>(picture->pixels) +
                                   static_cast<size_t>(y) * (picture->pitch / 4) + r.x;
            memcpy(pixelRow(screenSurface, y) + r.x, from, static_cast<size_t>(r.w) * 4);
        }
    }
}

int recordedItemCount() { return static_cast<int>(drawPass == PaintDirty ? recorded.size() : onScreen.size()); }

long long dirtyArea() { return area; }
