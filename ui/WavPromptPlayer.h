#pragma once
// Plays the spoken prompts from the WAV files of a directory (the program's
// wav/ directory). Each of the six prompt files is read whole into memory
// when the player is made; play() starts the sound and returns at once, the
// sound running on while the window goes on working.
//
// The sound goes straight to the default audio output as PCM (QAudioSink),
// not through a media player: no decoder back end is needed, nothing is
// read from disk while playing, and an output that cannot take the file's
// format gets the samples converted to its preferred one. On Windows the
// system plays the file's bytes from memory (winmm PlaySound, asynchronous;
// WavPromptPlayer_win.cpp).
//
// Prompts are never an error: a missing, empty or unreadable file, a file
// that is not a WAV, or a machine without sound output leaves that prompt
// silent, without a message.
#include "ui/PromptPlayer.h"

#include <QHash>
#include <QObject>

#ifdef Q_OS_WIN
#include <QByteArray>
#include <QElapsedTimer>
#else
#include "ui/WavSound.h"

#include <QAudioDevice>
#include <QBuffer>

class QAudioSink;
#endif

class WavPromptPlayer : public QObject, public PromptPlayer {
public:
    // Larger files are not prompts; they are left silent instead of being
    // read into memory.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    explicit WavPromptPlayer(const QString& wavDirectory, QObject* parent = nullptr);
    ~WavPromptPlayer() override;

    // Starts fileName's sound from its beginning; a prompt still playing
    // (this one or another) is cut off, so quick scans are answered by the
    // latest prompt instead of a queue of old ones.
    void play(const QString& fileName) override;

    // Whether fileName was loaded as a playable sound.
    bool hasSound(const QString& fileName) const { return m_sounds.contains(fileName); }
    // Whether a prompt is sounding now.
    bool isPlaying() const;
    // How much of the current (or last) prompt has been played.
    qint64 playedMicroseconds() const;

private:
#ifdef Q_OS_WIN
    struct Prompt {
        QByteArray file; // the whole WAV file, as PlaySound takes it
        qint64 microseconds; // how long it sounds
    };
    QHash<QString, Prompt> m_sounds;
    const Prompt* m_current = nullptr;
    QElapsedTimer m_started;
#else
    QHash<QString, WavSound> m_sounds;
    QAudioSink* m_sink = nullptr;
    QAudioDevice m_sinkDevice;
    QBuffer m_playing;
#endif
};
