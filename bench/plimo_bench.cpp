// Speed of the game's drawing and logic, measured against the floor of copying one frame.
// Run from a working directory that holds a copy of data/ (tools/run_bench.sh does so).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio/audio.h"
#include "frame_scenes.h"
#include "game/particles.h"
#include "game/problems.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "menu/menu.h"
#include "shell/frame.h"
#include "shell/shell.h"

namespace {

// The floor: one 640 x 480 x 32 frame copied with memcpy.
void frameCopy(benchmark::State &state) {
    std::vector<uint32_t> from(ScreenWidth * ScreenHeight, 0x336699), to(ScreenWidth * ScreenHeight);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), to.size() * sizeof(uint32_t));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(to.size() * 4));
}

// The other floor: SDL's blit of one full-screen background, as every menu frame starts.
void backgroundBlit(benchmark::State &state) {
    for (auto _ : state) {
        SDL_UpperBlit(menuBackground, nullptr, screenSurface, nullptr);
        benchmark::ClobberMemory();
    }
}

// The part of a LanguagePick frame that is SDL's alone: reading the language picture
// from its file and blitting it unconverted (24 to 32 bits) at the centre.
void languagePicture(benchmark::State &state) {
    for (auto _ : state) {
        SDL_Surface *picture = SDL_LoadBMP_RW(SDL_RWFromFile("lang_en.bmp", "rb"), 1);
        if (!picture) {
            state.SkipWithError("lang_en.bmp cannot be read");
            break;
        }
        SDL_Rect at = {static_cast<Sint16>((ScreenWidth - picture->w) / 2),
                       static_cast<Sint16>((ScreenHeight - picture->h) / 2), 0, 0};
        SDL_BlitSurface(picture, nullptr, screenSurface, &at);
        SDL_FreeSurface(picture);
        benchmark::ClobberMemory();
    }
}

// The same, as the language screen now reads its picture: the file is looked at (opened
// and its identity compared) on every frame, read and converted only when it changed.
void keptLanguagePicture(benchmark::State &state) {
    forgetLanguagePicture();
    for (auto _ : state) {
        SDL_Surface *picture = ::languagePicture("lang_en.bmp");
        if (!picture) {
            state.SkipWithError("lang_en.bmp cannot be read");
            break;
        }
        SDL_Rect at = {static_cast<Sint16>((ScreenWidth - picture->w) / 2),
                       static_cast<Sint16>((ScreenHeight - picture->h) / 2), 0, 0};
        SDL_BlitSurface(picture, nullptr, screenSurface, &at);
        benchmark::ClobberMemory();
    }
    forgetLanguagePicture();
}

// One whole frame of a scene: background, lock, the screen's overlay, unlock; not presented.
void sceneFrame(benchmark::State &state, const char *sceneName) {
    const FrameScene *scene = findFrameScene(sceneName);
    if (!scene) {
        state.SkipWithError("no such scene");
        return;
    }
    resetSceneState();
    scene->setUp();
    for (auto _ : state) {
        if (!drawFrameContents()) {
            state.SkipWithError("the screen could not be locked");
            break;
        }
        benchmark::ClobberMemory();
    }
    resetSceneState();
}

// One frame as the game draws it (drawFrame, frugal): the first frame of the scene is
// drawn whole before timing; then each timed frame either finds nothing changed
// (stepMs 0: recorded, compared, skipped) or sees the clock moved by stepMs, which moves
// the menu cursor or the pulsing highlight, and redraws and presents what changed.
void frugalFrame(benchmark::State &state, const char *sceneName, int stepMs) {
    const FrameScene *scene = findFrameScene(sceneName);
    if (!scene) {
        state.SkipWithError("no such scene");
        return;
    }
    resetSceneState();
    scene->setUp();
    frugalFrames = true;
    invalidateFrame();
    drawFrame();
    uint32_t tick = clockTicks();
    long long area = 0;
    for (auto _ : state) {
        // Back and forth between two moments, so that every frame differs from the last.
        tick = stepMs == 0 ? tick : (tick == SceneTick ? SceneTick + stepMs : SceneTick);
        clockSet(tick);
        now = static_cast<int32_t>(tick);
        drawFrame();
        area += dirtyArea();
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = benchmark::Counter(static_cast<double>(area), benchmark::Counter::kAvgIterations);
    invalidateFrame();
    resetSceneState();
}

// What one logic step changes, kept so that every timed step starts from the same field.
struct FieldSnapshot {
    GameState numbers;
    std::vector<Problem> problems;
    std::vector<Particle> particles;
};

FieldSnapshot takeSnapshot() {
    FieldSnapshot s;
    s.numbers = game;
    for (const Problem *p = game.problems; p; p = p->next)
        s.problems.push_back(*p);
    for (const Particle *p = game.particles; p; p = p->next)
        s.particles.push_back(*p);
    return s;
}

// Puts the field back as it was: problems past the snapshot's (spawned since) are
// freed, the rest get their numbers back; particles are made anew in their order.
void restoreSnapshot(const FieldSnapshot &s) {
    Problem *p = game.problems;
    for (size_t i = 0; i + 1 < s.problems.size() && p; i++)
        p = p->next;
    if (p) {
        Problem *extra = p->next;
        p->next = nullptr;
        while (extra) {
            Problem *next = extra->next;
            free(extra->text);
            delete extra;
            extra = next;
        }
    }
    size_t i = 0;
    for (Problem *q = game.problems; q; q = q->next, i++) {
        q->x = s.problems[i].x;
        q->y = s.problems[i].y;
    }
    freeParticles();
    Particle **tail = &game.particles;
    for (const Particle &from : s.particles) {
        Particle *made = new Particle(from);
        made->next = nullptr;
        *tail = made;
        tail = &made->next;
    }
    Problem *problems = game.problems;
    Particle *particles = game.particles;
    char *feedback = game.feedbackText;
    game = s.numbers;
    game.problems = problems;
    game.particles = particles;
    game.feedbackText = feedback;
}

// One Playing logic step (field, then particles) with 40 problems and 3000 particles.
void playingLogicStep(benchmark::State &state) {
    resetSceneState();
    findFrameScene("playing-heavy")->setUp();
    FieldSnapshot snapshot = takeSnapshot();
    for (auto _ : state) {
        state.PauseTiming();
        restoreSnapshot(snapshot);
        state.ResumeTiming();
        updateScreen();
        benchmark::ClobberMemory();
    }
    resetSceneState();
}

void freeStartupImages() {
    for (SDL_Surface **image : {&splashImage, &menuBackground, &helpSignImage, &helpImage, &neutralImage,
                                &goodImage, &badImage, &fontImage}) {
        SDL_FreeSurface(*image);
        *image = nullptr;
    }
}

// Start-up's loading with the real data: pictures, font metrics, content, audio device
// and effects (SDL's dummy drivers). The files are in the page cache after the first run.
void startupLoad(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        freeStartupImages();
        closeAudio();
        state.ResumeTiming();
        loadResources();
    }
    resetSceneState();
}

struct SceneBenchmark {
    const char *label;
    const char *scene;
};

const SceneBenchmark sceneBenchmarks[] = {
    {"frame/Splash", "splash"},
    {"frame/LanguagePick", "language-pick-1"},
    {"frame/MainMenu", "main-menu"},
    {"frame/Credits", "credits"},
    {"frame/Difficulty", "difficulty"},
    {"frame/Help", "help"},
    {"frame/GameOverBurst1000ms", "game-over-burst-1000"},
    {"frame/GameOverMenu", "game-over-menu"},
    {"frame/PlayingTypical", "playing-typical"},
    {"frame/PlayingHeavy", "playing-heavy"},
};

// Frames as the game draws them: skipped when unchanged, or redrawn where they changed.
struct FrugalBenchmark {
    const char *label;
    const char *scene;
    int stepMs;
};
const FrugalBenchmark frugalBenchmarks[] = {
    {"frugal/MainMenuUnchanged", "main-menu", 0},
    {"frugal/LanguagePickUnchanged", "language-pick-1", 0},
    {"frugal/PlayingTypicalUnchanged", "playing-typical", 0},
    {"frugal/MainMenuCursorMoved", "main-menu", 90},
    {"frugal/LanguagePickArrowsMoved", "language-pick-1", 90},
    {"frugal/PlayingTypicalPulse", "playing-typical", 30},
    {"frugal/PlayingHeavyPulse", "playing-heavy", 30},
};
} // namespace

int main(int argc, char **argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        fprintf(stderr, "Unable to init SDL: %s\n", SDL_GetError());
        return 1;
    }
    screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, 0);
    if (!screenSurface) {
        fprintf(stderr, "Unable to set up video: %s\n", SDL_GetError());
        return 1;
    }
    clockUseManual(SceneTick);
    // Stops with a line naming the file when the working directory lacks the data.
    loadResources();

    benchmark::RegisterBenchmark("floor/memcpy_frame", frameCopy)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("floor/blit_background", backgroundBlit)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("floor/load_and_blit_language_picture", languagePicture)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("floor/kept_language_picture_and_blit", keptLanguagePicture)
        ->Unit(benchmark::kMicrosecond);
    for (const SceneBenchmark &b : sceneBenchmarks)
        benchmark::RegisterBenchmark(b.label, sceneFrame, b.scene)->Unit(benchmark::kMicrosecond);
    for (const FrugalBenchmark &b : frugalBenchmarks)
        benchmark::RegisterBenchmark(b.label, frugalFrame, b.scene, b.stepMs)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("logic/PlayingStep40x3000", playingLogicStep)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("startup/loadResources", startupLoad)->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SDL_Quit();
    return 0;
}
