// Music tracks and sound effects on their fixed mixer channels.
#include "audio/audio.h"

#include <SDL.h>
#include <string>
#include <vector>

#include "audio/wav_header.h"
#include "ground/data_file.h"
#include "ground/platform.h"
#include "ground/startup.h"

Mix_Chunk *sounds[SoundCount] = {};
Mix_Music *currentMusic = nullptr;

// Whether the device opened; without it nothing is loaded and nothing plays.
static bool audioOpen = false;

static const char *const soundFiles[SoundCount] = {
    "menuselect.wav", "menumove.wav", "failed.wav", "wrong.wav",
    "correct.wav",    "cleared.wav",  "typing.wav",
};

// No effect is longer than a few seconds; a larger file is not one of them.
static const size_t MaxEffectBytes = 16 << 20;

static const int soundChannels[SoundCount] = {1, 0, 1, 1, 3, 2, 0};

// A track is a few minutes of Vorbis at most; a larger file is not one of them.
static const size_t MaxMusicBytes = 64 << 20;

// The bytes of the playing track and the stream the mixer reads them from while it
// plays: opened by name, a FIFO or a device would hold the game up, so the file is
// read whole through the data-file reader and handed to the mixer from memory. The
// buffer lives to the very end of the process: the mixer's thread may still decode from
// it while the process exits (the X library ends it on a lost display), after static
// objects are gone.
static std::vector<unsigned char> &musicBytes = *new std::vector<unsigned char>;
static SDL_RWops *musicStream = nullptr;

// Lets go of the track's stream once the mixer no longer reads it.
static void closeMusicStream() {
    if (!musicStream)
        return;
    platformCloseStream(musicStream);
    musicStream = nullptr;
}

// Loads the track in file, or null with the reason in *why.
static Mix_Music *loadMusic(const char *file, std::string *why) {
    if (!readDataFile(file, MaxMusicBytes, &musicBytes, why))
        return nullptr;
    musicStream = SDL_RWFromConstMem(musicBytes.data(), static_cast<int>(musicBytes.size()));
    Mix_Music *music = musicStream ? Mix_LoadMUS_RW(musicStream) : nullptr;
    if (!music) {
        *why = Mix_GetError();
        closeMusicStream();
    }
    return music;
}

Mix_Chunk *loadEffect(const char *file) {
    std::vector<unsigned char> bytes;
    std::string why;
    if (!readDataFile(file, MaxEffectBytes, &bytes, &why)) {
        reportFault("%s: cannot load, this effect stays silent: %s", file, why.c_str());
        return nullptr;
    }
    // SDL 1.2 converts an effect to the device's format through a fixed number of filter
    // steps, and a header far off the usual (a rate of 1 Hz) runs past them and crashes;
    // so the mixer only sees what the header check accepts.
    const char *fault = wavHeaderFault(bytes.data(), bytes.size(), nullptr);
    if (fault) {
        reportFault("%s: %s, this effect stays silent", file, fault);
        return nullptr;
    }
    SDL_RWops *stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    // The mixer copies the samples, and closes the stream itself.
    Mix_Chunk *chunk = stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (!chunk) {
        reportFault("%s: cannot load, this effect stays silent: %s", file, Mix_GetError());
        return nullptr;
    }
    platformKeepWholeFrames(chunk);
    return chunk;
}

void openAudio() {
    platformQuietSoundLibrary(true);
    int opened = Mix_OpenAudio(44100, AUDIO_S16LSB, 2, 2048);
    platformQuietSoundLibrary(false);
    if (opened < 0) {
        const char *reason = SDL_GetError();
        reportFault("no sound: cannot open the audio device%s%s", *reason ? ": " : "", reason);
        return;
    }
    audioOpen = true;
    for (int i = 0; i < SoundCount; i++) {
        // Opening twice (tests do) must not lose the chunks loaded the first time.
        if (sounds[i])
            Mix_FreeChunk(sounds[i]);
        sounds[i] = loadEffect(soundFiles[i]);
    }
    Mix_ReserveChannels(4);
    Mix_Volume(-1, 48);
}

int soundChannel(SoundId sound) { return soundChannels[sound]; }

void playSound(SoundId sound) {
    if (!audioOpen || !sounds[sound])
        return;
    Mix_PlayChannelTimed(soundChannels[sound], sounds[sound], 0, -1);
}

void playMusic(int music) {
    if (currentMusic) {
        Mix_HaltMusic();
        Mix_FreeMusic(currentMusic);
        currentMusic = nullptr;
    }
    closeMusicStream();
    const char *file = music == MenuMusic ? "menu.ogg" : music == GameMusic ? "ingame1.ogg" : nullptr;
    if (!file || !audioOpen)
        return;
    std::string why;
    currentMusic = loadMusic(file, &why);
    if (!currentMusic) {
        // Said once per track: the switch happens on every game and every game over.
        static bool reported[3];
        if (!reported[music]) {
            reportFault("%s: cannot load, no music: %s", file, why.c_str());
            reported[music] = true;
        }
        return;
    }
    Mix_PlayMusic(currentMusic, -1);
    Mix_VolumeMusic(128);
}

void holdMusic(bool held) {
    if (!audioOpen || !currentMusic)
        return;
    if (held)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}

void closeAudio() {
    Mix_CloseAudio();
    audioOpen = false;
}
