// Fuzz target: a language picture's bytes, read as the language screen reads them on every
// frame (a plain name in the data folder, the header check, SDL's loader, the picture kept
// while the file stays the same) and drawn centred on the screen.
//
// Properties: a picture shown is 1..640 x 1..480 pixels, as its header says; a file whose
// header the check refuses is never shown; the same file asked for again is the kept
// picture, not read again; and drawing it stays inside the screen (the sanitizers watch
// the memory, SDL's own crashes end the run).
#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "gfx/bmp_header.h"
#include "gfx/surface.h"
#include "menu/menu.h"

namespace {

[[noreturn]] void broken(const char *what) {
    fprintf(stderr, "picture property broken: %s\n", what);
    abort();
}

// Each input under a name of its own: a new name is a new file to the picture's keeper,
// whatever the file system reuses.
char folder[64];
char startFolder[4096];
unsigned inputs = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !(screenSurface = SDL_SetVideoMode(640, 480, 32, 0))) {
        fprintf(stderr, "no dummy video: %s\n", SDL_GetError());
        abort();
    }
    snprintf(folder, sizeof folder, "/tmp/plimo-picture-fuzz-%d", int(getpid()));
    if (mkdir(folder, 0700) != 0 || !getcwd(startFolder, sizeof startFolder))
        abort();
    atexit([] {
        forgetLanguagePicture();
        rmdir(folder);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The picture's name is a plain name in the working directory, as in the game; the
    // fuzzer's own paths are relative to where it started.
    if (chdir(folder) != 0)
        abort();
    char name[32];
    snprintf(name, sizeof name, "lang_%u.bmp", inputs++ % 2);
    FILE *out = fopen(name, "wb");
    if (!out || fwrite(data, 1, size, out) != size || fclose(out) != 0)
        abort();
    // Alternating names: the picture kept from the last input is never taken for this one.
    int readsBefore = languagePictureReads();
    SDL_Surface *picture = languagePicture(name);
    if (languagePictureReads() != readsBefore + 1)
        broken("a new file was not read");

    BmpShape shape;
    const char *fault = bmpHeaderFault(data, size, size, 640, 480, &shape);
    if (picture) {
        if (fault)
            broken("a picture the header check refuses was shown");
        if (picture->w != shape.width || picture->h != shape.height || picture->w < 1 || picture->h < 1 ||
            picture->w > 640 || picture->h > 480)
            broken("a shown picture's size is not its header's, or not within the screen");
        SDL_Rect at = {Sint16((640 - picture->w) / 2), Sint16((480 - picture->h) / 2), 0, 0};
        SDL_BlitSurface(picture, nullptr, screenSurface, &at);
    }
    if (languagePicture(name) != picture || languagePictureReads() != readsBefore + 1)
        broken("the same file was read again instead of kept");
    remove(name);
    if (chdir(startFolder) != 0)
        abort();
    return 0;
}
