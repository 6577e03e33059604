// Music and effects against the real mixer under the dummy audio driver.
#include <gtest/gtest.h>

#include <SDL_mixer.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/audio.h"
#include "support.h"

namespace {

const char *const effectFiles[] = {"menuselect.wav", "menumove.wav", "failed.wav", "wrong.wav",
                                   "correct.wav",    "cleared.wav",  "typing.wav"};

class AudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        startSdlForTests();
        for (const char *name : effectFiles)
            writeWav(dir.path() + "/" + name, 2000);
        // The game's own tracks serve as test tracks (no Vorbis encoder here).
        for (const char *track : {"menu.ogg", "ingame1.ogg"}) {
            std::string cmd = "cp '" + sourceDir() + "/data/" + track + "' '" + dir.path() + "/'";
            haveTracks = system(cmd.c_str()) == 0 && haveTracks;
        }
        openAudio();
    }
    void TearDown() override {
        playMusic(0);
        Mix_HaltChannel(-1);
        closeAudio();
    }
    ScratchDir dir;
    bool haveTracks = true;
};

TEST_F(AudioTest, EachEffectPlaysOnItsFixedChannelAtVolume48) {
    const int channels[] = {1, 0, 1, 1, 3, 2, 0};
    for (int id = 0; id < SoundCount; id++) {
        ASSERT_NE(sounds[id], nullptr) << effectFiles[id];
        playSound(SoundId(id));
        EXPECT_EQ(soundChannel(SoundId(id)), channels[id]);
        EXPECT_TRUE(Mix_Playing(channels[id])) << effectFiles[id];
        EXPECT_EQ(Mix_GetChunk(channels[id]), sounds[id]) << effectFiles[id];
        EXPECT_EQ(Mix_Volume(channels[id], -1), 48);
    }
    // The four channels are reserved: the mixer never picks them for a free play.
    EXPECT_GE(Mix_PlayChannelTimed(-1, sounds[0], 0, -1), 4);
}

TEST_F(AudioTest, NewEffectOnABusyChannelCutsTheOldOne) {
    playSound(SoundFailed);
    ASSERT_EQ(Mix_GetChunk(1), sounds[SoundFailed]);
    playSound(SoundMenuSelect);
    EXPECT_EQ(Mix_GetChunk(1), sounds[SoundMenuSelect]);
    EXPECT_TRUE(Mix_Playing(1));

    playSound(SoundMenuMove);
    playSound(SoundTyping);
    EXPECT_EQ(Mix_GetChunk(0), sounds[SoundTyping]);

    // The cleared fanfare and the correct chime sound together on their own channels.
    playSound(SoundCleared);
    playSound(SoundCorrect);
    EXPECT_EQ(Mix_GetChunk(2), sounds[SoundCleared]);
    EXPECT_EQ(Mix_GetChunk(3), sounds[SoundCorrect]);
    EXPECT_TRUE(Mix_Playing(2) && Mix_Playing(3));
}

TEST_F(AudioTest, MusicSwitchesRestartAndStop) {
    ASSERT_TRUE(haveTracks) << "the game's music tracks are missing from data/";
    playMusic(MenuMusic);
    ASSERT_NE(currentMusic, nullptr);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);

    // The help fade lowers the volume; the next switch sets it back to full.
    Mix_VolumeMusic(0);
    playMusic(GameMusic);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);

    // Asking for the track that plays already stops it and starts it anew: a paused
    // track that were merely kept would stay paused.
    Mix_PauseMusic();
    Mix_VolumeMusic(5);
    playMusic(GameMusic);
    EXPECT_FALSE(Mix_PausedMusic());
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);

    for (int other : {0, 3, -1}) {
        playMusic(MenuMusic);
        playMusic(other);
        EXPECT_EQ(currentMusic, nullptr) << other;
        EXPECT_FALSE(Mix_PlayingMusic()) << other;
    }
}

TEST_F(AudioTest, MissingFilesStaySilent) {
    TearDown();
    ScratchDir empty;
    openAudio();
    for (int id = 0; id < SoundCount; id++) {
        EXPECT_EQ(sounds[id], nullptr);
        playSound(SoundId(id));
    }
    for (int channel = 0; channel < 4; channel++)
        EXPECT_FALSE(Mix_Playing(channel));
    playMusic(MenuMusic);
    EXPECT_EQ(currentMusic, nullptr);
    EXPECT_FALSE(Mix_PlayingMusic());
}

// A track that is a FIFO with no writer is refused at once, each in turn: opened by name
// it would wait for a writer, and the game with it.
TEST_F(AudioTest, AFifoTrackIsRefusedWithoutWaiting) {
    for (int music : {MenuMusic, GameMusic}) {
        std::string path = dir.path() + (music == MenuMusic ? "/menu.ogg" : "/ingame1.ogg");
        ASSERT_EQ(0, remove(path.c_str()));
        ASSERT_EQ(0, mkfifo(path.c_str(), 0600));
        auto loaded = std::async(std::launch::async, [music] {
            playMusic(music);
            return currentMusic;
        });
        bool hung = loaded.wait_for(std::chrono::seconds(10)) != std::future_status::ready;
        if (hung) // a writer that comes and goes lets the waiting open end
            close(open(path.c_str(), O_WRONLY | O_NONBLOCK));
        EXPECT_FALSE(hung) << path;
        EXPECT_EQ(loaded.get(), nullptr) << path;
    }
}

} // namespace
