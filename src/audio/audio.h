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

// The fixed channel of each effect.
int soundChannel(SoundId sound);

// Plays sound once on its channel, cutting off what that channel was playing.
void playSound(SoundId sound);

// Stops and frees the current track, then loads and loops the one named (volume 128);
// any other value leaves no music playing.
void playMusic(int music);

// Exit handler: closes the audio device.
void closeAudio();
