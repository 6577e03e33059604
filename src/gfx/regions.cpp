// What a frame draws, item by item, and the regions of the screen that changed since the
// frame on screen.
#include "gfx/regions.h"

#include <algorithm>
#include <cstring>

#include "gfx/surface.h"

DrawPass drawPass = PaintAll;

// One drawn item: the key of what it draws, the pixels it may write and its place in
// the drawing order.
struct Item {
    uint64_t key;
    Box box;
    int32_t order;
};

// MaxDirtyRegions: beyond it, sorting out many small regions costs more than it saves.
// WholeScreenPercent: beyond it, the whole screen is the cheaper way.

bool trapUnaskedPainting =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif

static std::vector<Item> recorded;       // the frame being drawn (sorted by key once recorded)
static std::vector<Item> onScreen;       // the frame on screen, sorted by key
static uint64_t recordedKey = 0;         // the key of the recorded frame, in drawing order
static void *trappedPixels = nullptr;    // the screen's pixels, held back while recording
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

DrawTarget screenTarget() {
    if (!screenSurface || !screenSurface->pixels)
        return {nullptr, 0, Box{0, 0, 0, 0}};
    return {static_cast<uint32_t *>(screenSurface->pixels), screenSurface->pitch / 4,
            Box{0, 0, ScreenWidth, ScreenHeight}};
}

// The screen's pixels for an item in box, which is to be painted now.
static DrawTarget paintTarget(const Box &box) {
    DrawTarget target = screenTarget();
    target.box = box;
    return target;
}

static const DrawTarget nothingToPaint = {nullptr, 0, Box{0, 0, 0, 0}};

DrawTarget drawItem(Box box, uint64_t key) {
    switch (drawPass) {
    case Record:
        recorded.push_back({key, box, static_cast<int32_t>(recorded.size())});
        return nothingToPaint;
    case PaintDirty:
        if (isEmpty(box))
            return nothingToPaint;
        if (wholeDirty)
            return paintTarget(box);
        for (const Box &d : dirty) {
            if (meets(d, box))
                return paintTarget(box);
        }
        return nothingToPaint;
    default:
        return paintTarget(box);
    }
}

void beginFrameRecord() {
    recorded.clear();
    drawPass = Record;
    // Nothing may paint while recording: the screen is not locked then.
    if (trapUnaskedPainting && screenSurface && screenSurface->pixels) {
        trappedPixels = screenSurface->pixels;
        screenSurface->pixels = nullptr;
    }
}

// Same keys keep their drawing order, so that equal items pair up in order.
static bool byKey(const Item &a, const Item &b) { return a.key < b.key || (a.key == b.key && a.order < b.order); }

// The key of a list of items in drawing order over its background.
static uint64_t frameKey(const std::vector<Item> &items, const SDL_Surface *background, uint64_t backgroundKey) {
    uint64_t h = keyOf(keyOf(FrameKeySeed, reinterpret_cast<uintptr_t>(background)), backgroundKey);
    for (const Item &item : items)
        h = keyOf(h, item.key);
    // 0 stands for "nothing known".
    return h == 0 ? 1 : h;
}

// Ends the record pass: the screen's pixels come back, the frame's key is taken in
// drawing order, and the items are sorted by key for the comparison.
static void endRecord(const SDL_Surface *background, uint64_t backgroundKey) {
    if (trappedPixels) {
        screenSurface->pixels = trappedPixels;
        trappedPixels = nullptr;
    }
    drawPass = PaintAll;
    recordedBackground = background;
    recordedBackgroundKey = backgroundKey;
    recordedKey = frameKey(recorded, background, backgroundKey);
    std::sort(recorded.begin(), recorded.end(), byKey);
}

// One item drawn in both frames: its box and its places in either drawing order.
struct KeptItem {
    Box box;
    int32_t order, orderBefore;
};

// Kept items that overlap and changed places in the drawing order show another pixel
// where they meet: both are marked.
static void markReordered(std::vector<KeptItem> &kept) {
    std::sort(kept.begin(), kept.end(), [](const KeptItem &a, const KeptItem &b) { return a.order < b.order; });
    bool inOrder = true;
    for (size_t i = 1; i < kept.size() && inOrder; i++)
        inOrder = kept[i - 1].orderBefore < kept[i].orderBefore;
    if (inOrder)
        return;
    for (size_t i = 0; i < kept.size(); i++) {
        for (size_t j = i + 1; j < kept.size(); j++) {
            if (kept[i].orderBefore > kept[j].orderBefore && meets(kept[i].box, kept[j].box)) {
                dirty.push_back(kept[i].box);
                dirty.push_back(kept[j].box);
            }
        }
    }
}

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
    endRecord(background, backgroundKey);
    dirty.clear();
    dirtyRects.clear();
    wholeDirty = false;
    area = 0;

    if (!onScreenValid || background != onScreenBackground || backgroundKey != onScreenBackgroundKey) {
        markWholeScreen();
    } else {
        // Items drawn in both frames stay as they are; each one drawn in only one of
        // them marks its box, where it appears or where it leaves the background.
        static std::vector<KeptItem> kept;
        kept.clear();
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
                kept.push_back({recorded[i].box, recorded[i].order, onScreen[j].order});
                i++;
                j++;
            }
        }
        markReordered(kept);
        if (dirty.empty())
            return false;
        if (dirty.size() > MaxDirtyRegions) {
            Box all = dirty[0];
            for (const Box &d : dirty)
                all = joined(all, d);
            dirty.assign(1, all);
        }
        growRegions();
        long long total = 0;
        for (const Box &d : dirty)
            total += boxArea(d);
        if (total * 100 > WholeScreenPercent * ScreenWidth * ScreenHeight)
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

uint64_t recordedFrameKey(const SDL_Surface *background, uint64_t backgroundKey) {
    endRecord(background, backgroundKey);
    return recordedKey;
}

uint64_t onScreenFrameKey() { return onScreenValid ? onScreenKey : 0; }

void commitFrame() {
    // recorded was sorted by findDirtyRegions; it becomes the frame on screen.
    onScreen.swap(recorded);
    recorded.clear();
    onScreenBackground = recordedBackground;
    onScreenBackgroundKey = recordedBackgroundKey;
    onScreenKey = recordedKey;
    onScreenValid = true;
    drawPass = PaintAll;
}

void invalidateFrame() {
    if (trappedPixels) {
        screenSurface->pixels = trappedPixels;
        trappedPixels = nullptr;
    }
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

long long dirtyArea() { return area; }
