// The single global record of the game's run-time state and the enumerations it uses.
#pragma once

#include <cstdint>

class TiXmlElement;

// The screens the program can be on; ScreenNone only before the first logic step.
// PlayerPick ("Who is playing?") is only reached with a class list (--class).
enum ScreenId : int32_t {
    ScreenNone = 0,
    Splash = 1,
    LanguagePick = 2,
    MainMenu = 3,
    Credits = 4,
    Difficulty = 5,
    Help = 6,
    Playing = 7,
    GameOver = 8,
    PlayerPick = 9,
};

// The game modes, in main-menu order.
enum GameMode : int32_t {
    Addition = 0,
    Sign = 1,
    Subtraction = 2,
    Multiplication = 3,
    Division = 4,
    Mixed = 5,
};

// What a released key means to the menus; made by the event pump, never stored.
enum NavAction : int32_t {
    Confirm,
    Back,
    Up,
    Down,
    Left,
    Right,
};

// One problem on the field; heap record in game.problems, leading (oldest) first.
struct Problem {
    int32_t answer;       // expected answer; in Sign mode 1 for >= 0, 0 for negative
    int32_t answerDigits; // answer keys to type: digits of |answer|; 1 in Sign mode
    char *text;           // owned heap text as displayed, at most nine characters
    int32_t x;            // left edge, tenths of a pixel; 6400 at creation
    int32_t y;            // top edge, pixels: one of 0, 20, ..., 360
    Problem *next;        // the following, younger problem
};

// One burst particle; heap record in game.particles, newest first. Spawned and moved
// by the game (game/particles.h), drawn by the graphics (gfx/particles.h).
struct Particle {
    float x;         // horizontal position, pixels
    float y;         // vertical position, pixels, growing downwards
    float vx;        // pixels per 10 ms logic step
    float vy;        // pixels per logic step, negative is upwards
    float radius;    // drawn size, pixels
    uint32_t colour; // 0x00RRGGBB
    Particle *next;  // the next, older particle
};

// How far the leading problem has come across the field (game/field.h decides it, the
// in-game picture shows it).
enum DangerZone : int32_t {
    DangerFar = 0,    // no problem, or the leading one still far right
    DangerMiddle = 1, // the leading problem in the middle band
    DangerNear = 2,   // the leading problem near the left edge: a close call
};

// All run-time state of one run. Times are SDL ticks in milliseconds held as signed
// 32-bit values; compare and subtract them only through the helpers of ground/clock.h.
struct GameState {
    int32_t requestedScreen = Splash;   // the screen asked for; applied at the next logic step
    int32_t currentScreen = ScreenNone; // the screen in force; written by enterScreen alone
    int32_t screenEnteredAt = 0;        // tick when Splash, Help, Playing or GameOver was last entered
    int32_t menuSelection = 0;          // highlighted menu entry, 0-based
    int32_t menuItemCount = 0;          // entries the highlight can reach
    int32_t logicClock = 0;             // logic time (ms): the time of the running step, +10 after it
    int32_t gameMode = Addition;        // GameMode chosen on the main menu
    int32_t difficulty = 0;             // 0..3, chosen on the difficulty menu
    int32_t speed = 0;                  // tenths of a pixel every problem moves per logic step
    int32_t score = 0;                  // points of the current or last game
    int32_t nextSpawnAt = 0;            // logic time of the next spawn; 0 makes it due at once
    int32_t nextSpeedUpAt = 0;          // logic time of the next speed increase
    int32_t typedValue = 0;             // the number typed so far for the leading problem
    int32_t typedDigits = 0;            // how many answer keys make up typedValue
    int32_t inputBlockedUntil = 0;      // tick until which answer keys are dropped; 0 for no block
    char *feedbackText = nullptr;       // owned heap text of the last answer, or none
    int32_t feedbackStartedAt = 0;      // tick when feedbackText appeared
    int32_t feedbackRising = 0;         // 1 after a right answer (text rises), 0 after a wrong one
    int32_t alertFlag = 0;              // 1: the next emptying of the field plays the cleared sound
    int32_t factHeld = 0;               // 1 while a shown fact holds the field still (practice), until copied
    int32_t factHeldSince = 0;          // tick the shown fact began to hold the field
    int32_t paused = 0;                 // 1 while the game is paused (practice)
    int32_t pausedAt = 0;               // tick the pause began
    int32_t roundEndsAt = 0;            // logic time a round ends (practice); 0 when the game is no round
    int32_t burstX = 0;                 // centre x of the game-over burst, pixels
    int32_t burstY = 0;                 // centre y of the game-over burst, pixels
    Problem *problems = nullptr;        // owned list of problems on the field, leading problem first
    Particle *particles = nullptr;      // owned list of burst particles, newest first
    TiXmlElement *currentLanguage = nullptr; // the selected language element; not owned
};

extern GameState game;
