// Shared helpers of the test suite.
#include "support.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "content/content.h"
#include "ground/settings.h"
#include "practice/chosen_facts.h"
#include "record/progress_record.h"
#include "game/particles.h"
#include "practice/practice_hooks.h"
#include "practice/practice_list.h"
#include "practice/repeats.h"
#include "practice/panel.h"
#include "game/problems.h"
#include "gfx/particles.h"
#include "gfx/regions.h"
#include "gfx/surface.h"
#include "ground/clock.h"
#include "ground/game_state.h"
#include "shell/shell.h"

// Closes the audio device and shuts SDL down at exit, as the game does, so that no
// audio thread is still mixing while the process tears itself down.
static void stopSdlAtExit() {
    Mix_CloseAudio();
    SDL_Quit();
}

void startSdlForTests() {
    static bool started = false;
    clockUseManual(1000);
    // A drawing primitive that paints without asking drawItem crashes in any test.
    trapUnaskedPainting = true;
    if (started)
        return;
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) < 0) {
        fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        abort();
    }
    screenSurface = SDL_SetVideoMode(640, 480, 32, 0);
    if (!screenSurface) {
        fprintf(stderr, "SDL_SetVideoMode: %s\n", SDL_GetError());
        abort();
    }
    atexit(stopSdlAtExit);
    started = true;
}

void resetGame() {
    freeProblems();
    freeParticles();
    free(game.feedbackText);
    game = GameState{};
    settings = Settings{};
    startFactRecord();
    installPracticeHooks();
    forgetHeldKeys();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
}

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/plimo-test-XXXXXX";
    char *made = mkdtemp(pattern);
    if (!made)
        abort();
    dir = made;
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        previous = cwd;
    if (chdir(dir.c_str()) != 0)
        abort();
}

ScratchDir::~ScratchDir() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) {
    }
    std::string cmd = "rm -rf '" + dir + "'";
    if (system(cmd.c_str()) != 0) {
    }
}

void ScratchDir::write(const std::string &name, const std::string &bytes) const {
    std::string path = dir + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

static void pushKey(SDLKey key, bool down, Uint16 unicode = 0) {
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    SDL_PushEvent(&event);
}

void pushKeyDown(SDLKey key) { pushKey(key, true); }
void pushKeyDownTyping(SDLKey key, Uint16 unicode) { pushKey(key, true, unicode); }
void pushKeyUp(SDLKey key) { pushKey(key, false); }
void pushKeyStroke(SDLKey key) {
    pushKey(key, true);
    pushKey(key, false);
}

static void put16(std::string &s, unsigned v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
static void put32(std::string &s, unsigned v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

void writeBmp(const std::string &path, int width, int height, uint32_t (*fill)(int, int)) {
    int rowBytes = (width * 3 + 3) & ~3;
    std::string s;
    s += "BM";
    put32(s, 54 + rowBytes * height);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, width);
    put32(s, height);
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, rowBytes * height);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = height - 1; y >= 0; y--) {
        std::string row;
        for (int x = 0; x < width; x++) {
            uint32_t c = fill(x, y);
            row.push_back(char(c & 0xFF));
            row.push_back(char((c >> 8) & 0xFF));
            row.push_back(char((c >> 16) & 0xFF));
        }
        row.resize(rowBytes, '\0');
        s += row;
    }
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
}

void writeWav(const std::string &path, int ms) {
    int frames = 44100 * ms / 1000;
    std::string s;
    s += "RIFF";
    put32(s, 36 + frames * 4);
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, 2);
    put32(s, 44100);
    put32(s, 44100 * 4);
    put16(s, 4);
    put16(s, 16);
    s += "data";
    put32(s, frames * 4);
    for (int i = 0; i < frames; i++) {
        int v = (i / 50) % 2 ? 2000 : -2000;
        put16(s, unsigned(v) & 0xFFFF);
        put16(s, unsigned(v) & 0xFFFF);
    }
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        abort();
    fwrite(s.data(), 1, s.size(), f);
    fclose(f);
}

bool startTestAudio() {
    static int state = 0; // 0 not tried, 1 ready, -1 unavailable
    if (state == 0) {
        ScratchDir dir;
        for (const char *file : {"menuselect.wav", "menumove.wav", "failed.wav", "wrong.wav", "correct.wav",
                                 "cleared.wav", "typing.wav"})
            writeWav(dir.path() + "/" + file, 3000);
        openAudio();
        state = 1;
        for (int i = 0; i < SoundCount; i++)
            if (!sounds[i])
                state = -1;
    }
    return state == 1;
}

bool soundPlaying(SoundId sound) {
    int channel = soundChannel(sound);
    return Mix_Playing(channel) && Mix_GetChunk(channel) == sounds[sound];
}

bool channelSilent(SoundId sound) { return !Mix_Playing(soundChannel(sound)); }

SDL_Surface *screenFormatSurface(int w, int h) {
    const SDL_PixelFormat *f = screenSurface->format;
    return SDL_CreateRGBSurface(0, w, h, 32, f->Rmask, f->Gmask, f->Bmask, f->Amask);
}

void fillScreen(uint32_t colour) { SDL_FillRect(screenSurface, nullptr, colour); }

int pixelsOtherThan(uint32_t colour) {
    int n = 0;
    for (int y = 0; y < ScreenHeight; y++)
        for (int x = 0; x < ScreenWidth; x++)
            n += pixelAt(screenSurface, x, y) != colour;
    return n;
}

static std::string drain(int fd) {
    std::string s;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0)
        s.append(buf, size_t(n));
    return s;
}

static long long millis() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

ProcessResult runProcess(const std::string &program, const std::vector<std::string> &args,
                         const std::string &cwd, const std::vector<std::string> &env,
                         int timeoutMs) {
    ProcessResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0)
        abort();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        close(outPipe[0]);
        close(errPipe[0]);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0)
            _exit(127);
        for (const std::string &e : env)
            putenv(strdup(e.c_str()));
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(program.c_str()));
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    fcntl(outPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    long long deadline = millis() + timeoutMs;
    int status = 0;
    for (;;) {
        result.out += drain(outPipe[0]);
        result.err += drain(errPipe[0]);
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (millis() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        poll(fds, 2, 20);
    }
    result.out += drain(outPipe[0]);
    result.err += drain(errPipe[0]);
    close(outPipe[0]);
    close(errPipe[0]);
    if (!result.timedOut && WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    return result;
}

std::string plimoBinary() { return PLIMO_BINARY; }
std::string sourceDir() { return PLIMO_SOURCE_DIR; }

std::string screenXml(const std::string &name, int count, ItemText text) {
    std::string s = "  <screen name=\"" + name + "\">\n";
    for (int i = 1; i <= count; i++)
        s += "    <item text=\"" + (text ? text(name, i) : name + "-" + std::to_string(i)) + "\"/>\n";
    return s + "  </screen>\n";
}

std::string languageXml(const std::string &name, ItemText text, const std::string &element) {
    std::string s = "<" + element + " langpick=\"pick-" + name + "\" image=\"lang_" + name +
                    ".bmp\" name=\"" + name + "\">\n";
    for (const ContentScreen &screen : contentScreens)
        s += screenXml(screen.name, screen.itemsNeeded, text);
    return s + "</" + element + ">\n";
}

std::string replaced(std::string s, const std::string &from, const std::string &to) {
    size_t at = s.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "fixture text not found: " << from;
        return s;
    }
    return s.replace(at, from.size(), to);
}

uint32_t fixtureGlyphColour(int ch) { return 0x800000u | (uint32_t(ch) << 8) | 0x40u; }

static uint32_t fixtureFontPixel(int x, int y) {
    int ch = 33 + y / 32, row = y % 32;
    return ch == '~' || row >= 10 || x < 2 || x > 11 ? 0 : fixtureGlyphColour(ch);
}

void writeFixtureFont(const std::string &path) { writeBmp(path, 32, 32 * 94, fixtureFontPixel); }

void writeStartupPictures(const std::string &dir) {
    for (const char *name : {"splash.bmp", "menubg.bmp", "help_plusminus.bmp", "help.bmp", "ingame_neutral.bmp",
                             "ingame_good.bmp", "ingame_bad.bmp"})
        writeBmp(dir + "/" + name, 16, 12, [](int, int) -> uint32_t { return 0x808080; });
    writeFixtureFont(dir + "/font_32.bmp");
}
