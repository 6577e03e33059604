// Whole-frame scenes of every screen, set up deterministically from the game's real
// data; shared by the frame checksum test and the benchmarks.
#include "frame_scenes.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "content/content.h"
#include "game/particles.h"
#include "game/problems.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/frame.h"

namespace {

// The pictures this module loaded, so that it frees only its own.
SDL_Surface **const imageSlots[] = {&splashImage, &neutralImage, &menuBackground, &goodImage,
                                    &helpSignImage, &badImage, &helpImage, &fontImage};
constexpr int SlotCount = sizeof imageSlots / sizeof imageSlots[0];
SDL_Surface *loaded[SlotCount];

void enter(int screen) {
    game.currentScreen = screen;
    game.requestedScreen = screen;
}

// count problems of the current mode and difficulty, the leading one at firstX tenths
// of a pixel and each following one gapX further right.
void placeProblems(int count, int32_t firstX, int32_t gapX) {
    for (int i = 0; i < count; i++)
        generateProblem();
    int32_t x = firstX;
    for (Problem *p = game.problems; p; p = p->next, x += gapX)
        p->x = x;
}

// Bursts of 64 from the problems in turn, stepsBetween logic steps apart (10 ms of
// clock each, so the hues move on), until exactly count particles are in flight.
void burstParticles(int count, int stepsBetween) {
    uint32_t tick = SceneTick - 5000;
    const Problem *from = game.problems;
    for (;;) {
        clockSet(tick);
        int burst = std::min(64, count - sceneParticleCount());
        for (int i = 0; i < burst; i++)
            spawnParticle(static_cast<float>(from->x), static_cast<float>(from->y));
        if (sceneParticleCount() >= count)
            break;
        for (int s = 0; s < stepsBetween; s++) {
            updateParticles();
            tick += 10;
        }
        from = from->next ? from->next : game.problems;
    }
    clockSet(SceneTick);
}

void setFeedback(const char *text, bool rising, uint32_t age) {
    free(game.feedbackText);
    game.feedbackText = strdup(text);
    game.feedbackRising = rising ? 1 : 0;
    game.feedbackStartedAt = static_cast<int32_t>(SceneTick - age);
}

void splash() { enter(Splash); }

template <int Position> void languagePick() {
    enter(LanguagePick);
    for (int i = 1; i < Position; i++)
        nextLanguage();
}

void mainMenu() {
    enter(MainMenu);
    game.menuItemCount = 8;
    game.menuSelection = 2;
}

void mainMenuQuit() {
    mainMenu();
    game.menuSelection = 7;
    // A different moment of the cursor's swing.
    now = static_cast<int32_t>(SceneTick + 300);
}

void credits() {
    enter(Credits);
    game.menuItemCount = 1;
}

void difficulty() {
    enter(Difficulty);
    game.menuItemCount = 5;
    game.menuSelection = 1;
}

void difficultyBack() {
    difficulty();
    game.menuSelection = 4;
}

void help() { enter(Help); }

void helpSign() {
    game.gameMode = Sign;
    enter(Help);
}

// A game in progress: prompt with one digit typed, a rising feedback text, two bursts.
void playingTypical() {
    enter(Playing);
    game.gameMode = Addition;
    game.difficulty = 1;
    game.speed = 3;
    game.score = 42;
    placeProblems(6, 4000, 400);
    burstParticles(128, 12);
    game.typedDigits = 1;
    game.typedValue = 1;
    setFeedback("12", true, 150);
}

// A crowded field late in a hard mixed game, with 3000 particles in flight.
void playingHeavy() {
    enter(Playing);
    game.gameMode = Mixed;
    game.difficulty = 3;
    game.speed = 9;
    game.score = 98765;
    placeProblems(40, 2600, 95);
    burstParticles(3000, 1);
    game.typedDigits = 2;
    game.typedValue = 17;
    setFeedback("153", true, 90);
    game.nextSpawnAt = static_cast<int32_t>(SceneTick + 700);
    game.nextSpeedUpAt = static_cast<int32_t>(SceneTick + 1500);
    game.logicClock = static_cast<int32_t>(SceneTick);
}

// Sign mode: the prompt is a single underscore.
void playingSign() {
    enter(Playing);
    game.gameMode = Sign;
    placeProblems(5, 6100, 300);
    game.score = 7;
}

// The danger picture: the leading problem near the edge, keys blocked after a wrong
// answer whose number is tossed, particles falling off the bottom.
void playingDanger() {
    enter(Playing);
    game.gameMode = Multiplication;
    game.difficulty = 3;
    placeProblems(12, 35, 450);
    burstParticles(700, 6);
    game.inputBlockedUntil = static_cast<int32_t>(SceneTick + 300);
    setFeedback("144", false, 260);
    game.score = 123456;
}

// A cleared field: only the score and the last burst.
void playingEmpty() {
    enter(Playing);
    placeProblems(1, 5000, 0);
    burstParticles(64, 0);
    freeProblems();
    setFeedback("9", true, 40);
}

// The game-over burst elapsed ms after the end of a typical game, over its last frame.
template <int Elapsed> void gameOverBurst() {
    playingTypical();
    drawFrameContents();
    enter(GameOver);
    game.screenEnteredAt = static_cast<int32_t>(SceneTick - Elapsed);
    game.burstX = game.problems->x / 10 + 6 * static_cast<int32_t>(strlen(game.problems->text));
    game.burstY = game.problems->y + 14;
    freeProblems();
    freeParticles();
    game.menuItemCount = 2;
}

void gameOverMenu() {
    enter(GameOver);
    game.screenEnteredAt = static_cast<int32_t>(SceneTick - 4000);
    game.score = 1234;
    game.menuItemCount = 2;
    game.menuSelection = 1;
}

} // namespace

const std::vector<FrameScene> &frameScenes() {
    static const std::vector<FrameScene> scenes = {
        {"splash", splash},
        {"language-pick-1", languagePick<1>},
        {"language-pick-2", languagePick<2>},
        {"language-pick-3", languagePick<3>},
        {"language-pick-4", languagePick<4>},
        {"language-pick-5", languagePick<5>},
        {"language-pick-6", languagePick<6>},
        {"language-pick-7", languagePick<7>},
        {"language-pick-8", languagePick<8>},
        {"language-pick-9", languagePick<9>},
        {"language-pick-10", languagePick<10>},
        {"language-pick-11", languagePick<11>},
        {"language-pick-12", languagePick<12>},
        {"main-menu", mainMenu},
        {"main-menu-quit", mainMenuQuit},
        {"credits", credits},
        {"difficulty", difficulty},
        {"difficulty-back", difficultyBack},
        {"help", help},
        {"help-sign", helpSign},
        {"playing-typical", playingTypical},
        {"playing-heavy", playingHeavy},
        {"playing-sign", playingSign},
        {"playing-danger", playingDanger},
        {"playing-empty", playingEmpty},
        {"game-over-burst-150", gameOverBurst<150>},
        {"game-over-burst-500", gameOverBurst<500>},
        {"game-over-burst-1000", gameOverBurst<1000>},
        {"game-over-menu", gameOverMenu},
    };
    return scenes;
}

const FrameScene *findFrameScene(const std::string &name) {
    for (const FrameScene &scene : frameScenes()) {
        if (name == scene.name)
            return &scene;
    }
    return nullptr;
}

void loadSceneResources() {
    releaseSceneResources();
    loadImages();
    checkFontImage();
    measureFont();
    loadContent();
    for (int i = 0; i < SlotCount; i++)
        loaded[i] = *imageSlots[i];
}

void releaseSceneResources() {
    freeProblems();
    freeParticles();
    for (int i = 0; i < SlotCount; i++) {
        if (!loaded[i])
            continue;
        // Another test may have put its own picture in the slot since.
        if (*imageSlots[i] == loaded[i])
            *imageSlots[i] = nullptr;
        SDL_FreeSurface(loaded[i]);
        loaded[i] = nullptr;
    }
}

void resetSceneState() {
    freeProblems();
    freeParticles();
    free(game.feedbackText);
    game = GameState{};
    game.currentLanguage = firstLanguage();
    clockUseManual(SceneTick);
    now = static_cast<int32_t>(SceneTick);
    srand(20240611);
    // Frames that blit no background draw over this.
    SDL_FillRect(screenSurface, nullptr, 0);
}

namespace {

constexpr uint64_t FnvOffset = 0xcbf29ce484222325ULL;
constexpr uint64_t FnvPrime = 0x100000001b3ULL;

void hashBytes(uint64_t &h, const void *data, size_t size) {
    const unsigned char *p = static_cast<const unsigned char *>(data);
    for (size_t i = 0; i < size; i++) {
        h ^= p[i];
        h *= FnvPrime;
    }
}

void hashWord(uint64_t &h, uint32_t v) {
    unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    hashBytes(h, bytes, 4);
}

void hashFloat(uint64_t &h, float f) {
    uint32_t bits;
    memcpy(&bits, &f, sizeof bits);
    hashWord(h, bits);
}

} // namespace

uint64_t screenChecksum() {
    uint64_t h = FnvOffset;
    for (int y = 0; y < ScreenHeight; y++) {
        const uint32_t *row = pixelRow(screenSurface, y);
        for (int x = 0; x < ScreenWidth; x++)
            hashWord(h, row[x]);
    }
    return h;
}

uint64_t fieldChecksum() {
    uint64_t h = FnvOffset;
    for (const Problem *p = game.problems; p; p = p->next) {
        hashWord(h, static_cast<uint32_t>(p->answer));
        hashWord(h, static_cast<uint32_t>(p->answerDigits));
        hashWord(h, static_cast<uint32_t>(p->x));
        hashWord(h, static_cast<uint32_t>(p->y));
        hashBytes(h, p->text, strlen(p->text) + 1);
    }
    for (const Particle *p = game.particles; p; p = p->next) {
        hashFloat(h, p->x);
        hashFloat(h, p->y);
        hashFloat(h, p->vx);
        hashFloat(h, p->vy);
        hashFloat(h, p->radius);
        hashWord(h, p->colour);
    }
    for (int32_t v : {game.speed, game.score, game.nextSpawnAt, game.nextSpeedUpAt, game.requestedScreen})
        hashWord(h, static_cast<uint32_t>(v));
    return h;
}

int sceneParticleCount() {
    int n = 0;
    for (const Particle *p = game.particles; p; p = p->next)
        n++;
    return n;
}

int sceneProblemCount() {
    int n = 0;
    for (const Problem *p = game.problems; p; p = p->next)
        n++;
    return n;
}
