// Long runs of the real main loop on a manual clock with the real pictures, font and
// content: an hour of play at the hardest difficulty, games across the counter's 2^31
// and 2^32 marks, and a hundred thousand keys in one pass. The rules must keep holding
// and the heap must stay bounded by the problems and particles alive.
#include <gtest/gtest.h>

#include <SDL.h>
#include <algorithm>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <map>
#include <set>
#include <tuple>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/audio.h"
#include "content/content.h"
#include "game/answers.h"
#include "game/display.h"
#include "shell/options.h"
#include "record/players.h"
#include "record/progress_grid.h"
#include "game/problems.h"
#include "game_helpers.h"
#include "gfx/font.h"
#include "gfx/images.h"
#include "gfx/particles.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/settings.h"
#include "practice/panel.h"
#include "ground/game_state.h"
#include "shell/frame.h"
#include "shell/progress_keeping.h"
#include "shell/shell.h"
#include "support.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

using gametest::particleCount;
using gametest::problemCount;

namespace {

// Bytes the program has allocated and not freed, as its allocator counts them.
size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

// The player's own dice, apart from the game's rand so as not to steer it.
struct Dice {
    uint32_t state = 2463534242u;
    int roll(int sides) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return int(state % uint32_t(sides));
    }
};

// A particle starts no higher than row 0 and at most 7 pixels per step upwards, and
// falls 0.1 faster each step: it is below row 480 within 190 steps and freed at the next.
const int32_t ParticleLifeMs = 1910;

// The keys that answer problem p rightly, or surely wrongly.
std::vector<SDLKey> answerKeys(const Problem *p, bool right) {
    if (game.gameMode == Sign) {
        bool plus = (p->answer != 0) == right;
        return {plus ? SDLK_KP_PLUS : SDLK_KP_MINUS};
    }
    int32_t value = p->answer < 0 ? -p->answer : p->answer;
    int32_t limit = 1;
    for (int i = 0; i < p->answerDigits; i++)
        limit *= 10;
    if (!right)
        value = (value + 1) % limit; // same number of keys, another number
    std::vector<SDLKey> keys(size_t(p->answerDigits));
    for (int i = p->answerDigits - 1; i >= 0; i--, value /= 10)
        keys[size_t(i)] = SDLKey(SDLK_0 + value % 10);
    return keys;
}

// Where a long run stands, and what it has seen.
struct Record {
    int games = 0;
    int solves = 0;
    int wrongAnswers = 0;
    int droppedWhileBlocked = 0;
    int passes = 0;
    int maxSpeed = 0;
    int maxProblems = 0;
    int maxParticles = 0;
    size_t maxHeapAboveBase = 0;
    int64_t bestScore = 0;
};

class LongRun : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        resetGame();
        std::string cmd = "cp -r '" + sourceDir() + "/data/.' '" + dir.path() + "'";
        ASSERT_EQ(0, system(cmd.c_str()));
        // The start-up's own loading, in its order, from the copy of the data folder.
        loadImages();
        checkFontImage();
        ASSERT_TRUE(measureFont());
        loadContent();
        openAudio();
    }
    void TearDown() override {
        resetGame();
        // The next set-up loads the pictures again; these would be lost.
        for (SDL_Surface **picture : {&splashImage, &menuBackground, &helpSignImage, &helpImage, &neutralImage,
                                      &goodImage, &badImage, &fontImage}) {
            SDL_FreeSurface(*picture);
            *picture = nullptr;
        }
    }

    // A pass of the main loop after ms of the clock; returns whether the program ended.
    // A pass makes up at most MaxCatchUpMs of logic time: a longer look away is passes
    // that far apart, as a game that is not stalled runs them.
    bool pass(uint32_t ms) {
        for (; ms > uint32_t(MaxCatchUpMs); ms -= uint32_t(MaxCatchUpMs)) {
            clockAdvance(uint32_t(MaxCatchUpMs));
            record.passes++;
            if (runPass())
                return true;
        }
        clockAdvance(ms);
        record.passes++;
        return runPass();
    }

    // Presses and releases keys, then lets the pump handle them in a pass that runs no
    // step (the logic has caught up, so the pass only sleeps its 1 ms first).
    void strokes(const std::vector<SDLKey> &keys) {
        for (SDLKey key : keys)
            pushKeyStroke(key);
        ASSERT_FALSE(pass(0));
    }

    // Steps the clock in passes of `each` ms until the screen is in force or ms have passed.
    void waitForScreen(int32_t screen, uint32_t ms, uint32_t each = 20) {
        for (uint32_t spent = 0; game.currentScreen != screen && spent <= ms; spent += each)
            pass(each);
        ASSERT_EQ(screen, game.currentScreen);
    }

    // Whether answer keys are blocked, ahead ms from now (the pass that handles keys
    // sleeps its 1 ms first).
    bool blocked(int32_t ahead = 0) const {
        return game.inputBlockedUntil != 0 && tickBefore(tickAdd(clockNow(), ahead), game.inputBlockedUntil);
    }

    // The rules of a running game, checked after every pass on Playing.
    void checkField() {
        // Problems: leading first, so x never falls along the list; all move alike, so
        // those born in the same step share x (at most two: a spawn and its extra), and
        // those born apart never do.
        int n = 0, sameAsPrevious = 0;
        const Problem *previous = nullptr;
        for (const Problem *p = game.problems; p; previous = p, p = p->next, n++) {
            ASSERT_LE(p->x, 6400);
            ASSERT_TRUE(p->y >= 0 && p->y <= 360 && p->y % 20 == 0) << p->y;
            ASSERT_TRUE(p->answerDigits >= 1 && p->answerDigits <= 3) << p->text;
            ASSERT_LE(strlen(p->text), 9u) << p->text;
            if (previous) {
                ASSERT_LE(previous->x, p->x) << "problem " << n << " passed the one before it";
                sameAsPrevious = previous->x == p->x ? sameAsPrevious + 1 : 0;
                ASSERT_LE(sameAsPrevious, 1) << "three problems born in one step";
            }
        }
        record.maxProblems = std::max(record.maxProblems, n);
        record.maxParticles = std::max(record.maxParticles, particleCount());
        record.maxSpeed = std::max(record.maxSpeed, int(game.speed));
        record.bestScore = std::max<int64_t>(record.bestScore, game.score);
    }

    // The speed rises by 1 at the first step more than spawnInterval (1750 ms at
    // difficulty 3) after the game began, then every 1760 ms of logic time.
    int32_t expectedSpeed(int32_t lastStep) const {
        int32_t pastDeadline = tickDiff(lastStep, tickAdd(gameStartedAt, 1750));
        if (pastDeadline <= 0)
            return 1;
        // Steps come every 10 ms back from the last one; the first rise is at the
        // earliest of them strictly after the deadline.
        int32_t firstRise = tickAdd(lastStep, -10 * ((pastDeadline - 1) / 10));
        return 2 + tickDiff(lastStep, firstRise) / 1760;
    }

    // The particles alive can only be those of solves within their lifetime.
    void checkParticlesBounded() {
        int32_t recent = 0;
        for (auto it = solveLog.rbegin(); it != solveLog.rend(); ++it) {
            if (tickDiff(game.logicClock, it->first) > ParticleLifeMs + 20)
                break;
            recent += it->second;
        }
        ASSERT_LE(particleCount(), 64 * recent);
    }

    // The heap holds what start-up loaded, the music track, and the records alive.
    void checkHeap(const char *where) {
        size_t above = heapInUse() > heapBase ? heapInUse() - heapBase : 0;
        record.maxHeapAboveBase = std::max(record.maxHeapAboveBase, above);
        size_t allowed = SlackBytes + 256 * size_t(problemCount()) + 128 * size_t(particleCount());
        ASSERT_LE(above, allowed) << where << ": " << problemCount() << " problems, " << particleCount()
                                  << " particles";
    }

    // One turn of the player on Playing: answers the first `right` problems, or gives one
    // wrong answer, and checks what the game made of it, to the point.
    void answer(int right, bool wrong) {
        int before = problemCount();
        right = std::min(right, before);
        if (before == 0 || (right == 0 && !wrong))
            return;
        bool wasBlocked = blocked(1);
        int32_t scoreBefore = game.score, speed = game.speed;
        int particlesBefore = particleCount();
        std::vector<SDLKey> keys;
        if (wrong) {
            keys = answerKeys(game.problems, false);
        } else {
            // SDL 1.2 queues 127 events at most, two per key: as many answers as fit.
            const Problem *p = game.problems;
            int fitting = 0;
            for (; fitting < right; fitting++, p = p->next) {
                std::vector<SDLKey> k = answerKeys(p, true);
                if (keys.size() + k.size() > 63)
                    break;
                keys.insert(keys.end(), k.begin(), k.end());
            }
            right = fitting;
        }
        strokes(keys);
        if (wasBlocked) {
            record.droppedWhileBlocked++;
            ASSERT_EQ(scoreBefore, game.score) << "a key counted while answer keys were blocked";
            ASSERT_EQ(before, problemCount());
            return;
        }
        if (wrong) {
            record.wrongAnswers++;
            ASSERT_EQ(scoreBefore, game.score);
            ASSERT_EQ(before, problemCount());
            ASSERT_TRUE(blocked());
            ASSERT_EQ(0, game.typedDigits);
            return;
        }
        // 2 x speed for each solve; the one that empties the field earns 3 x speed.
        bool cleared = right == before;
        ASSERT_EQ(scoreBefore + speed * (2 * right + (cleared ? 1 : 0)), game.score);
        ASSERT_EQ(before - right, problemCount());
        ASSERT_EQ(particlesBefore + 64 * right, particleCount());
        if (cleared) {
            ASSERT_EQ(0, game.nextSpawnAt);
        }
        record.solves += right;
        solveLog.push_back({game.logicClock, right});
    }

    // Lets a step pass of ms run and checks the running game afterwards.
    void playFor(uint32_t ms) {
        int32_t scoreBefore = game.score;
        ASSERT_FALSE(pass(ms));
        if (game.currentScreen != Playing)
            return;
        ASSERT_GE(game.score, scoreBefore);
        ASSERT_EQ(expectedSpeed(tickAdd(game.logicClock, -10)), game.speed)
            << "game began at " << gameStartedAt << ", logic clock " << game.logicClock;
        checkField();
        checkParticlesBounded();
        checkHeap("during a game");
    }

    // From the game-over menu or the main menu through the menus, as a player, to a new
    // game of the mode at difficulty 3.
    void startGameFromMenus(int mode) {
        if (game.currentScreen == GameOver) {
            strokes({SDLK_DOWN, SDLK_RETURN}); // "main menu"
            waitForScreen(MainMenu, 100);
        }
        ASSERT_EQ(MainMenu, game.currentScreen);
        std::vector<SDLKey> keys(size_t(mode), SDLK_DOWN);
        keys.push_back(SDLK_RETURN);
        strokes(keys);
        waitForScreen(Difficulty, 100);
        strokes({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}); // from the second entry to the fourth
        waitForScreen(Help, 100);
        ASSERT_EQ(mode, game.gameMode);
        ASSERT_EQ(3, game.difficulty);
        waitForScreen(Playing, 3500, 250); // the help gives way by itself
        beginGame();
    }

    void beginGame() {
        ASSERT_EQ(Playing, game.currentScreen);
        ASSERT_EQ(0, game.score);
        ASSERT_EQ(1, problemCount());
        ASSERT_EQ(nullptr, game.particles);
        gameStartedAt = game.screenEnteredAt;
        solveLog.clear();
        record.games++;
    }

    // After a lost game: the field and the particles are freed, the heap is back.
    void checkGameOver() {
        ASSERT_EQ(GameOver, game.currentScreen);
        ASSERT_EQ(nullptr, game.problems);
        ASSERT_EQ(nullptr, game.particles);
        checkHeap("after a game");
        size_t above = heapInUse() > heapBase ? heapInUse() - heapBase : 0;
        if (firstGameOverHeap == 0)
            firstGameOverHeap = above + 1;
        ASSERT_LE(above, firstGameOverHeap + 256 * 1024) << "the heap grows from game to game";
    }

    // Everything start-up loads plus a music track and SDL's own odds and ends.
    static constexpr size_t SlackBytes = 8u << 20;

    ScratchDir dir;
    Record record;
    Dice dice;
    size_t heapBase = 0;
    size_t firstGameOverHeap = 0;
    int32_t gameStartedAt = 0;
    std::vector<std::pair<int32_t, int>> solveLog; // (logic time, solves) of each turn
};

void printRecord(const char *what, const Record &r, double seconds) {
    printf("[long run] %s: %d games, %d passes, %d solves, %d wrong answers, %d turns dropped while "
           "blocked; speed up to %d, up to %d problems and %d particles at once, best score %lld, "
           "heap at most %zu KiB above the start; %.1f s\n",
           what, r.games, r.passes, r.solves, r.wrongAnswers, r.droppedWhileBlocked, r.maxSpeed, r.maxProblems,
           r.maxParticles, static_cast<long long>(r.bestScore), r.maxHeapAboveBase / 1024, seconds);
}

} // namespace

// An hour of play at difficulty 3. The first game is an expert's: after a flurry in which
// every problem is answered at once (thousands of particles fly), the player keeps the
// field clear, looking as often as the speed needs, until the speed is in the hundreds;
// then the problems pile up and the game is lost. The rest of the hour is casual games in
// every mode, chosen through the menus: a look every two seconds, one answer at a time,
// now and then a wrong one.
TEST_F(LongRun, AnHourOfPlayAtTheHardestDifficulty) {
    auto started = std::chrono::steady_clock::now();
    const uint32_t start = 50000;
    clockSet(start);
    game.logicClock = int32_t(start);
    game.difficulty = 3;
    game.gameMode = Mixed;
    game.requestedScreen = Playing;
    ASSERT_FALSE(pass(10));
    beginGame();
    heapBase = heapInUse();

    // The flurry: a look every step, every problem answered.
    for (int i = 0; i < 120 && game.currentScreen == Playing && !HasFatalFailure(); i++) {
        answer(100, false);
        playFor(10);
    }
    ASSERT_GE(record.maxParticles, 2000) << "the flurry made too few particles";
    // The expert: looks so often that no problem crosses more than half the field
    // unseen; a rare slip while the game is still slow.
    while (game.currentScreen == Playing && game.speed < 200 && !HasFatalFailure()) {
        bool slip = game.speed < 60 && dice.roll(20) == 0;
        answer(slip ? 0 : 100, slip);
        uint32_t look = uint32_t(std::clamp(64000 / game.speed / 2 / 10 * 10, 10, 500));
        playFor(look);
    }
    // Looks away: the problems pile up and the leading one reaches the left edge.
    for (int i = 0; i < 2000 && game.currentScreen == Playing && !HasFatalFailure(); i++)
        playFor(20);
    ASSERT_EQ(GameOver, game.currentScreen);
    int expertScore = game.score;
    EXPECT_GE(record.maxSpeed, 200);
    checkGameOver();

    // Casual games fill the hour, each mode in turn.
    for (int mode = 0; tickDiff(int32_t(clockTicks()), int32_t(start)) < 3600 * 1000 && !HasFatalFailure();
         mode = (mode + 1) % 6) {
        startGameFromMenus(mode);
        for (int look = 0; game.currentScreen == Playing && !HasFatalFailure(); look++) {
            int roll = dice.roll(20);
            // Waits through the first few looks: the problems pile up.
            if (look >= 3 && roll > 0)
                answer(roll <= 3 ? 0 : 1, roll <= 3);
            if (look >= 3 && roll > 0 && roll <= 3 && game.currentScreen == Playing) {
                // A hasty retry within the block: dropped.
                playFor(200);
                answer(1, false);
                playFor(1800);
                continue;
            }
            playFor(2000);
            ASSERT_LT(look, 100000) << "a casual game that never ends";
        }
        waitForScreen(GameOver, 0);
        checkGameOver();
    }
    EXPECT_GT(expertScore, 0);
    EXPECT_GE(record.games, 10);
    EXPECT_GT(record.wrongAnswers, 0);
    EXPECT_GT(record.droppedWhileBlocked, 0);
    EXPECT_GE(record.maxProblems, 4);
    printRecord("an hour at difficulty 3", record,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
}


namespace {

// Where a game across a mark of the counter begins: some seconds before it.
struct Mark {
    const char *name;
    uint32_t tick;
};

// Test names print the mark by its name (the record has padding bytes that gtest's
// byte dump would read).
void PrintTo(const Mark &mark, std::ostream *out) { *out << mark.name; }

class LongRunAcrossMark : public LongRun, public ::testing::WithParamInterface<Mark> {};

} // namespace

// The program starts 30 s before the mark, goes through the splash, the menus and the
// help into a game that runs on 20 s past it: a wrong answer just before the mark blocks
// the keys until just after it; the speed keeps its schedule; spawns keep coming. Then a
// game is ended with Escape half a second before the mark: the burst grows for its second
// and the game-over menu follows.
TEST_P(LongRunAcrossMark, GamesCarryOnOverTheMark) {
    const uint32_t mark = GetParam().tick;
    uint32_t begin = mark - 30000;
    clockSet(begin);
    game.logicClock = int32_t(begin);
    heapBase = heapInUse();
    ASSERT_FALSE(pass(10));
    ASSERT_EQ(Splash, game.currentScreen);
    waitForScreen(LanguagePick, 2100); // the splash gives way by itself
    strokes({SDLK_RETURN});
    waitForScreen(MainMenu, 100);
    startGameFromMenus(Mixed);
    ASSERT_TRUE(tickBefore(game.screenEnteredAt, int32_t(mark)));

    // Until 0.4 s before the mark, an expert player.
    while (tickBefore(int32_t(clockTicks()), int32_t(mark - 400)) && !HasFatalFailure()) {
        answer(100, false);
        playFor(100);
    }
    ASSERT_EQ(Playing, game.currentScreen);
    // A wrong answer (there is always a problem one step after a clearing) blocks the
    // keys for 500 ms, to past the mark.
    while (!game.problems)
        playFor(10);
    answer(0, true);
    int32_t blockedUntil = game.inputBlockedUntil;
    EXPECT_EQ(500, tickDiff(blockedUntil, clockNow()));
    ASSERT_TRUE(tickBefore(int32_t(mark + 50), blockedUntil));
    // Past the mark, still blocked: the keys are dropped.
    while (tickBefore(int32_t(clockTicks()), int32_t(mark + 50)))
        playFor(10);
    ASSERT_TRUE(blocked(1));
    while (!game.problems)
        playFor(10);
    int dropped = record.droppedWhileBlocked;
    answer(1, false);
    EXPECT_EQ(dropped + 1, record.droppedWhileBlocked);
    // Once the block has run out, answers count again.
    while (tickBefore(int32_t(clockTicks()), tickAdd(blockedUntil, 10)))
        playFor(50);
    while (!game.problems)
        playFor(10);
    int solves = record.solves;
    answer(1, false);
    EXPECT_EQ(solves + 1, record.solves);
    // The rising feedback of that answer is drawn where its age puts it.
    int32_t top;
    ASSERT_TRUE(feedbackTop(clockTicks() + 100, &top));
    EXPECT_EQ(400 - 100 * 100 / 1000, top);

    // Twenty seconds on past the mark: the speed keeps rising on its schedule (checked
    // after every pass) and problems keep coming.
    int32_t speedAtMark = game.speed;
    int solvesAtMark = record.solves;
    while (tickBefore(int32_t(clockTicks()), int32_t(mark + 20000)) && game.currentScreen == Playing &&
           !HasFatalFailure()) {
        answer(100, false);
        playFor(100);
    }
    ASSERT_EQ(Playing, game.currentScreen);
    EXPECT_GE(game.speed, speedAtMark + 11);
    EXPECT_GE(record.solves, solvesAtMark + 10);

    // A new game, ended with Escape half a second before the mark comes round again
    // (the clock is set back for it, as after a long pause, and starts from scratch).
    resetGame();
    clockSet(mark - 3000);
    game.logicClock = int32_t(mark - 3000);
    game.difficulty = 3;
    game.requestedScreen = Playing;
    ASSERT_FALSE(pass(10));
    beginGame();
    while (tickBefore(int32_t(clockTicks()), int32_t(mark - 500)))
        playFor(100);
    strokes({SDLK_ESCAPE});
    ASSERT_FALSE(pass(10));
    ASSERT_EQ(GameOver, game.currentScreen);
    checkGameOver();
    int32_t enteredAt = game.screenEnteredAt;
    // 800 ms in, past the mark: the disc (radius 512) covers its centre and the nearest
    // on-screen point to it.
    while (tickDiff(int32_t(clockTicks()), enteredAt) < 800)
        ASSERT_FALSE(pass(50));
    ASSERT_LT(tickDiff(int32_t(clockTicks()), enteredAt), 1000);
    int cx = std::clamp(int(game.burstX), 0, 639), cy = std::clamp(int(game.burstY), 0, 479);
    EXPECT_EQ(0x9f0000u, pixelAt(screenSurface, cx, cy) & 0xFFFFFF);
    EXPECT_EQ(0x9f0000u, pixelAt(screenSurface, 639 - cx / 2, cy) & 0xFFFFFF);
    // After its second, the game-over menu on the menu background.
    while (tickDiff(int32_t(clockTicks()), enteredAt) <= 1000)
        ASSERT_FALSE(pass(50));
    ASSERT_FALSE(pass(10));
    EXPECT_EQ(pixelAt(menuBackground, 5, 5) & 0xFFFFFF, pixelAt(screenSurface, 5, 5) & 0xFFFFFF);
    // And a new game from it runs as the first did.
    strokes({SDLK_RETURN});
    ASSERT_FALSE(pass(10));
    beginGame();
    for (int i = 0; i < 50; i++) {
        answer(100, false);
        playFor(100);
    }
    EXPECT_EQ(Playing, game.currentScreen);
    EXPECT_GE(game.speed, 3);
    printRecord(GetParam().name, record, 0);
}

INSTANTIATE_TEST_SUITE_P(LongRun, LongRunAcrossMark,
                         ::testing::Values(Mark{"2^31", 0x80000000u}, Mark{"2^32", 0u}),
                         [](const ::testing::TestParamInfo<Mark> &info) {
                             return info.param.tick == 0 ? std::string("Wrap2To32") : std::string("Pass2To31");
                         });

// A hundred thousand key events handled in one pass of the pump, as one long burst of
// typing: a field of a thousand problems answered one after another with noise between
// the answers (clearing keys, keys without a meaning, arrows, Return), then a wrong
// answer that blocks the rest, then Escape. Everything is judged exactly, in order, in
// bounded time and memory; the next step ends the game and frees it all.
TEST_F(LongRun, AHundredThousandKeysInOnePass) {
    clockSet(100000);
    game.logicClock = 100000;
    game.difficulty = 3;
    game.gameMode = Mixed;
    game.requestedScreen = Playing;
    ASSERT_FALSE(pass(10));
    beginGame();
    heapBase = heapInUse();
    // The field fills: a thousand problems, as the generator makes them.
    for (int i = 0; i < 999; i++)
        generateProblem();
    ASSERT_EQ(1000, problemCount());
    ASSERT_FALSE(pass(10));
    int speed = game.speed;
    int field = problemCount();

    std::vector<SDL_Event> events;
    auto key = [&](SDLKey k, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.type = e.type;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = k;
        events.push_back(e);
    };
    const SDLKey noise[] = {SDLK_a,         SDLK_F1,     SDLK_LEFT,   SDLK_UP,
                            SDLK_KP_EQUALS, SDLK_LSHIFT, SDLK_RETURN, SDLK_SPACE};
    int answered = 0;
    for (const Problem *p = game.problems; p && answered < 900; p = p->next, answered++) {
        for (SDLKey k : answerKeys(p, true)) {
            key(k, true);
            key(k, false);
        }
        // Clearing keys between answers change nothing; the rest mean nothing here.
        key(SDLK_BACKSPACE, true);
        key(SDLK_BACKSPACE, false);
        for (int i = 0; i < 90; i++)
            key(noise[i / 2 % 8], i % 2 == 0);
    }
    // A wrong answer blocks: the right answers after it are dropped.
    const Problem *next = game.problems;
    for (int i = 0; i < answered; i++)
        next = next->next;
    for (SDLKey k : answerKeys(next, false)) {
        key(k, true);
        key(k, false);
    }
    while (events.size() < 100000 - 2) {
        for (SDLKey k : answerKeys(next, true)) {
            key(k, true);
            key(k, false);
        }
    }
    events.resize(100000 - 2);
    key(SDLK_ESCAPE, true);
    key(SDLK_ESCAPE, false);
    ASSERT_EQ(100000u, events.size());

    // The pump's pass: the frame, then every event in order.
    auto began = std::chrono::steady_clock::now();
    clockAdvance(1);
    frameTick();
    for (const SDL_Event &e : events)
        ASSERT_FALSE(handleEvent(e));
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();

    EXPECT_EQ(speed * 2 * answered, game.score);
    EXPECT_EQ(field - answered, problemCount());
    EXPECT_EQ(64 * answered, particleCount());
    EXPECT_TRUE(blocked());
    EXPECT_EQ(GameOver, game.requestedScreen);
    EXPECT_EQ(Playing, game.currentScreen) << "the screen changes only at the next step";
    checkHeap("after the keys");
    EXPECT_LT(seconds, 20.0);

    ASSERT_FALSE(pass(10));
    checkGameOver();
    printf("[long run] 100000 keys in one pass: %d answers judged, %d particles, %.2f s\n", answered,
           64 * answered, seconds);

    // The real event queue, filled to what it holds, is drained in one pass too.
    clockAdvance(2000);
    strokes({SDLK_RETURN}); // play again
    ASSERT_FALSE(pass(10));
    beginGame();
    for (int i = 0; i < 200; i++)
        generateProblem();
    std::vector<SDLKey> keys;
    int queued = 0;
    for (const Problem *p = game.problems; p; p = p->next) {
        // Answers are judged on presses: a problem counts as queued when every press is.
        bool allPresses = true;
        for (SDLKey each : answerKeys(p, true)) {
            SDL_Event down{}, up{};
            down.type = down.key.type = SDL_KEYDOWN;
            down.key.keysym.sym = each;
            up.type = up.key.type = SDL_KEYUP;
            up.key.keysym.sym = each;
            if (SDL_PushEvent(&down) != 0) {
                allPresses = false;
                break;
            }
            SDL_PushEvent(&up);
        }
        if (!allPresses)
            break;
        queued++;
    }
    int before = problemCount();
    ASSERT_FALSE(pass(0));
    SDL_Event left;
    EXPECT_EQ(0, SDL_PollEvent(&left)) << "the pass left events in the queue";
    // A problem whose keys were only partly queued is not judged.
    EXPECT_EQ(before - queued, problemCount());
    EXPECT_GE(queued, 20);
}

namespace {

// The facts a record holds, read as plainly as a teacher's spreadsheet would: fact ->
// its fields after the first. Also checks the header and one row per fact.
std::map<std::string, std::vector<std::string>> recordRows(const std::string &path) {
    std::map<std::string, std::vector<std::string>> rows;
    std::ifstream in(path);
    std::string line;
    EXPECT_TRUE(std::getline(in, line)) << path;
    EXPECT_EQ(line, "plimo progress record,version 2,player,");
    EXPECT_TRUE(std::getline(in, line)) << path;
    EXPECT_EQ(line, "fact,asked,right first try,wrong,too slow,median ms,last played,last askings");
    while (std::getline(in, line) && line != "game,date,seconds played") {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
        if (line.back() == ',')
            fields.push_back(""); // no last askings
        EXPECT_EQ(fields.size(), 8u) << line;
        EXPECT_EQ(rows.count(fields[0]), 0u) << "twice: " << line;
        rows[fields[0]] = std::vector<std::string>(fields.begin() + 1, fields.end());
    }
    return rows;
}

// Whether text is a fact the chosen tables (7) and addends (9, when chosen) allow.
bool allowedFact(const char *text, bool addendsChosen) {
    int a = 0, b = 0;
    char op = 0;
    if (sscanf(text, "%d %c %d", &a, &op, &b) != 3)
        return false;
    switch (op) {
    case '*':
        return a == 7 || b == 7;
    case '/':
        return b == 7;
    case '+':
        return !addendsChosen || a == 9 || b == 9;
    default:
        return !addendsChosen || b == 9;
    }
}

} // namespace

// A child plays with the teacher's choices on the real game loop, through the menus, at
// the hardest difficulty: --tables=7 --remember in multiplication, division and the mix,
// then --addends=9 as well in addition, subtraction and the mix. Every problem on the
// field is a fact of 7 (x and /) or of 9 (+ and -); after each game the record holds the
// header and one row per fact led so far, asked as often as it led. Then plimo
// --progress marks exactly those facts and ends with 0, and plimo --forget deletes it.
TEST_F(LongRun, ChosenFactsAndTheRecordOfTwoDays) {
    std::string dataHome = dir.path() + "/data home";
    std::string path = dataHome + "/plimo/progress.csv";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    char why[160];
    for (const char *word : {"--tables=7", "--remember"})
        ASSERT_EQ(OptionApplied, readOption(word, why, sizeof why)) << why;
    clockSet(70000);
    game.logicClock = 70000;
    game.requestedScreen = MainMenu;
    ASSERT_FALSE(pass(10));
    heapBase = heapInUse();
    std::map<std::string, int> asked;
    struct Game {
        int mode;
        bool addends;
    };
    for (Game g : {Game{Multiplication, false}, Game{Division, false}, Game{Mixed, false}, Game{Addition, true},
                   Game{Subtraction, true}, Game{Mixed, true}}) {
        SCOPED_TRACE(testing::Message() << "mode " << g.mode << (g.addends ? " with addends" : ""));
        if (g.addends) {
            ASSERT_EQ(OptionApplied, readOption("--addends=9", why, sizeof why)) << why;
        }
        startGameFromMenus(g.mode);
        const Problem *leading = nullptr;
        auto look = [&] {
            for (const Problem *p = game.problems; p; p = p->next)
                ASSERT_TRUE(allowedFact(p->text, g.addends)) << p->text;
            if (game.problems && game.problems != leading)
                asked[game.problems->text]++;
            leading = game.problems;
        };
        look();
        for (int turn = 0; game.currentScreen == Playing && !HasFatalFailure(); turn++) {
            int roll = dice.roll(10);
            if (roll > 0)
                answer(1, roll <= 2);
            look();
            playFor(roll == 3 ? 6000 : 1500); // now and then a fact comes near the edge
            if (game.currentScreen == Playing)
                look();
            ASSERT_LT(turn, 100000) << "a game that never ends";
        }
        waitForScreen(GameOver, 0);
        checkGameOver();
        std::map<std::string, std::vector<std::string>> rows = recordRows(path);
        ASSERT_EQ(rows.size(), asked.size());
        for (const auto &fact : asked) {
            ASSERT_EQ(rows.count(fact.first), 1u) << fact.first;
            const std::vector<std::string> &row = rows[fact.first];
            EXPECT_EQ(row[0], std::to_string(fact.second)) << fact.first;
            EXPECT_LE(atoi(row[1].c_str()), fact.second) << fact.first;
            EXPECT_EQ(row[5], todayDate()) << fact.first;
        }
    }
    EXPECT_GE(record.wrongAnswers, 3);
    printf("[chosen facts] %d games, %d solves, %d wrong answers, %zu facts led\n", record.games, record.solves,
           record.wrongAnswers, asked.size());
    unsetenv("XDG_DATA_HOME");

    std::vector<std::string> env = {"XDG_DATA_HOME=" + dataHome, "SDL_VIDEODRIVER=no-such-driver"};
    ProcessResult shown = runProcess(plimoBinary(), {"--progress"}, dir.path(), env, 20000);
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_EQ(shown.err, "");
    // Each grid: its title line, the column numbers, then rows 0 to 12 of a mark each
    // under the numbers (three characters apart from the sixth): a mark exactly where a
    // fact was played; the facts beyond 12 listed by name.
    const char *titles[4] = {"Multiplication:", "Division:", "Addition:", "Subtraction:"};
    std::set<std::tuple<int, int, int>> played;
    for (const auto &f : asked) {
        int g, r, c;
        if (factCell(f.first, &g, &r, &c))
            played.insert({g, r, c});
        else
            EXPECT_NE(shown.out.find("\n  " + f.first + " "), std::string::npos) << f.first;
    }
    for (int grid = 0; grid < 4; grid++) {
        size_t at = shown.out.find(std::string("\n") + titles[grid]);
        ASSERT_NE(at, std::string::npos) << shown.out;
        std::stringstream lines(shown.out.substr(at + 1));
        std::string line;
        std::getline(lines, line);
        std::getline(lines, line);
        for (int r = 0; r <= GridMax; r++) {
            ASSERT_TRUE(std::getline(lines, line));
            ASSERT_EQ(line.size(), size_t(5 + 3 * (GridMax + 1))) << line;
            for (int c = 0; c <= GridMax; c++)
                EXPECT_EQ(line[7 + 3 * c] != MarkNotPlayed, played.count({grid, r, c}) == 1)
                    << titles[grid] << " row " << r << " column " << c << ":\n" << line;
        }
    }
    EXPECT_GT(played.size(), 10u);

    ProcessResult forgotten = runProcess(plimoBinary(), {"--forget", "--yes"}, dir.path(), env, 20000);
    EXPECT_EQ(forgotten.exitStatus, 0) << forgotten.err;
    EXPECT_EQ(forgotten.out.rfind("Deleting the progress record " + path + ": " + std::to_string(asked.size()) +
                                      " facts, last played on " + todayDate() + ".\n",
                                  0),
              0u)
        << forgotten.out;
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    ProcessResult again = runProcess(plimoBinary(), {"--forget"}, dir.path(), env, 20000);
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_NE(again.out.find("no progress record to forget"), std::string::npos) << again.out;
}

// The ends of a game the program can act on, on the real loop with --remember: a game
// given up at once counts nothing against the child; SIGTERM (SDL's quit event) in the
// middle of a game keeps the facts judged so far; a 20-s stall while a fact leads is not
// its answer time.
TEST_F(LongRun, EveryEndOfAGameKeepsWhatWasJudgedAndNothingElse) {
    std::string dataHome = dir.path() + "/ends";
    std::string path = dataHome + "/plimo/progress.csv";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    char why[160];
    ASSERT_EQ(OptionApplied, readOption("--remember", why, sizeof why)) << why;
    clockSet(70000);
    game.logicClock = 70000;
    game.requestedScreen = MainMenu;
    ASSERT_FALSE(pass(10));
    heapBase = heapInUse();

    startGameFromMenus(Addition);
    strokes({SDLK_ESCAPE});
    waitForScreen(GameOver, 100);
    EXPECT_NE(access(path.c_str(), F_OK), 0) << "a game given up at once was kept";

    startGameFromMenus(Addition);
    std::string first = game.problems->text;
    answer(1, false);
    // The next problem leads; the process stops for 20 s, then it is answered.
    while (!game.problems && !HasFatalFailure())
        playFor(10);
    std::string second = game.problems->text;
    pass(500);
    clockAdvance(20000);
    ASSERT_FALSE(runPass());
    answer(1, false);
    struct sigaction current;
    ASSERT_EQ(0, sigaction(SIGTERM, nullptr, &current));
    ASSERT_NE(current.sa_handler, SIG_DFL) << "SDL turns SIGTERM into its quit event";
    raise(SIGTERM);
    EXPECT_TRUE(runPass()) << "SIGTERM ends the program";
    std::map<std::string, std::vector<std::string>> rows = recordRows(path);
    ASSERT_EQ(rows.count(first), 1u) << "the facts of a game ended by SIGTERM were lost";
    ASSERT_EQ(rows.count(second), 1u);
    // Its median time: the half second it led, with the first pass's catch-up, not 20 s.
    EXPECT_LT(atoi(rows[second][4].c_str()), 1500) << second;
    unsetenv("XDG_DATA_HOME");
}

// The clear view in the real font: the problem to answer and the typed answer in white
// on the dark panel, at 7:1 or better, their digits' face at least 24 pixels tall.
TEST_F(LongRun, AClearViewShowsTheProblemToAnswerLargeAndClear) {
    settings.clearView = true;
    game.currentScreen = Playing;
    gametest::addProblem("7 + 8", 15, 2, 3000, 100);
    gametest::addProblem("2 + 2", 4, 1, 4500, 200);
    game.typedValue = 1;
    game.typedDigits = 1;
    fillScreen(0xFFFFFF);
    ASSERT_TRUE(lockIfNeeded(screenSurface));
    drawPlaying();
    unlockIfNeeded(screenSurface);
    // Each box: where the face stands (pure white), and the panel's colour beside it.
    struct Box {
        const char *what;
        int x0, y0, x1, y1;
    } const boxes[] = {{"problem", 290, 80, 460, 160}, {"answer", 300, 425, 420, 479}};
    for (const Box &b : boxes) {
        // The panel's extent, then the white face inside it.
        int px0 = 640, py0 = 480, px1 = -1, py1 = -1;
        for (int y = b.y0; y < b.y1; y++)
            for (int x = b.x0; x < b.x1; x++)
                if ((pixelAt(screenSurface, x, y) & 0xFFFFFF) == PanelColour)
                    px0 = std::min(px0, x), py0 = std::min(py0, y), px1 = std::max(px1, x), py1 = std::max(py1, y);
        ASSERT_GT(px1 - px0, 40) << b.what << ": no panel behind it";
        int top = 480, bottom = -1;
        for (int y = py0 + 1; y < py1; y++)
            for (int x = px0 + 1; x < px1; x++)
                if ((pixelAt(screenSurface, x, y) & 0xFFFFFF) == 0xFFFFFF)
                    top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_GE(bottom - top + 1, 24) << b.what;
    }
    // White on the panel: sRGB luminance as WCAG has it.
    auto channel = [](uint32_t c) {
        double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    double panel = 0.2126 * channel(PanelColour >> 16) + 0.7152 * channel((PanelColour >> 8) & 0xFF) +
                   0.0722 * channel(PanelColour & 0xFF);
    EXPECT_GE((1.0 + 0.05) / (panel + 0.05), 7.0);
    settings.clearView = false;
    fillScreen(0xFFFFFF);
    ASSERT_TRUE(lockIfNeeded(screenSurface));
    drawPlaying();
    unlockIfNeeded(screenSurface);
    EXPECT_NE(pixelAt(screenSurface, 300, 104) & 0xFFFFFF, PanelColour) << "a panel without the setting";
}

// Two children on one device: Ana plays twice and Ben once on the real loop, each named
// with --player; each child's record holds only that child's facts, and the class view
// names both.
TEST_F(LongRun, EachChildKeepsARecordOfItsOwn) {
    std::string dataHome = dir.path() + "/class";
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    clockSet(70000);
    game.logicClock = 70000;
    game.requestedScreen = MainMenu;
    ASSERT_FALSE(pass(10));
    heapBase = heapInUse();
    std::map<std::string, std::set<std::string>> played;
    for (const char *child : {"Ana", "ana ", "Ben"}) {
        char why[160];
        settings = Settings{};
        ASSERT_EQ(OptionApplied, readOption((std::string("--player=") + child).c_str(), why, sizeof why)) << why;
        ASSERT_EQ(OptionApplied, readOption("--remember", why, sizeof why)) << why;
        startGameFromMenus(Addition);
        for (int i = 0; i < 3 && game.currentScreen == Playing; i++) {
            while (!game.problems && !HasFatalFailure())
                playFor(10);
            played[playerKey(settings.player)].insert(game.problems->text);
            answer(1, false);
        }
        strokes({SDLK_ESCAPE});
        waitForScreen(GameOver, 100);
    }
    ASSERT_EQ(played.size(), 2u) << "Ana and ana are one child";
    for (const auto &child : played) {
        std::string path = dataHome + "/plimo/players/" + child.first + ".csv";
        std::ifstream in(path);
        std::string line, text;
        while (std::getline(in, line))
            text += line + "\n";
        // The name as first given.
        EXPECT_EQ(text.rfind(std::string("plimo progress record,version 2,player,") +
                                 (child.first == "ana" ? "Ana" : "Ben") + "\n",
                             0),
                  0u)
            << text;
        for (const auto &other : played) {
            for (const std::string &fact : other.second) {
                if (!child.second.count(fact)) {
                    EXPECT_EQ(text.find("\n" + fact + ","), std::string::npos) << fact << " in " << path;
                }
            }
        }
        for (const std::string &fact : child.second)
            EXPECT_NE(text.find("\n" + fact + ","), std::string::npos) << fact << " missing from " << path;
    }
    unsetenv("XDG_DATA_HOME");
    std::vector<std::string> env = {"XDG_DATA_HOME=" + dataHome, "SDL_VIDEODRIVER=no-such-driver"};
    ProcessResult view = runProcess(plimoBinary(), {"--class-progress"}, dir.path(), env, 20000);
    EXPECT_EQ(view.exitStatus, 0) << view.err;
    EXPECT_NE(view.out.find("\nAna "), std::string::npos) << view.out;
    EXPECT_NE(view.out.find("\nBen "), std::string::npos) << view.out;
}
