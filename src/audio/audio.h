// Music tracks and sound effects on their fixed mixer channels.
#pragma once

#include <SDL_mixer.h>

// The seven effects, in loading order.
enum SoundId {
    SoundMenuSelect = 0,
    SoundMenuMove = 1,
    SoundFailed = 2,
    SoundWrong = 3,
    SoundCorrect = 4,
    SoundCleared = 5,
    SoundTyping = 6,
    SoundCount = 7,
};

// Argument of playMusic; any other value means no music.
enum MusicId {
    MenuMusic = 1,
    GameMusic = 2,
};

// The loaded effect chunks, indexed by SoundId; null for an effect that could not load.
extern Mix_Chunk *sounds[SoundCount];

// The track now loaded and playing, or null; owned here.
extern Mix_Music *currentMusic;

// Opens the audio device (44100 Hz, S16LSB, stereo, 2048), loads the seven effects,
// reserves channels 0..3 and sets every channel's volume to 48. A missing device or
// file leaves that piece silent.
void openAudio();

// Loads the WAV effect file (a regular file in the working directory) for the open
// mixer. Its header is checked first (wavHeaderFault): a broken effect, as a missing one,
// is reported in one line on standard error naming the file and yields null (silence).
Mix_Chunk *loadEffect(const char *file);

// The fixed channel of each effect.
int soundChannel(SoundId sound);

// Plays sound once on its channel, cutting off what that channel was playing.
void playSound(SoundId sound);

// Stops and frees the current track, then loads and loops the one named (volume 128);
// any other value leaves no music playing.
void playMusic(int music);

// Pauses the current track where it is (held true) or lets it go on from there.
void holdMusic(bool held);

// Closes the audio device (at the end, before SDL is shut down).
void closeAudio();
