#pragma once
// One sound read from a WAV file: its PCM samples and their format, ready
// to hand to the audio output. Only uncompressed WAV is understood (integer
// PCM of 8, 16, 24 or 32 bits, or 32-bit float, any channel count); 24-bit
// samples are widened to 32 bits because the audio output has no 24-bit
// format.
#include <QAudioFormat>
#include <QByteArray>

#include <optional>

class WavSound {
public:
    // The sound in the bytes of a whole WAV file, or nothing when they are
    // not a WAV file this class understands or hold no samples. A data
    // chunk that runs past the end of the file (a recording cut short) is
    // taken as far as it goes.
    static std::optional<WavSound> parse(const QByteArray& file);

    const QAudioFormat& format() const { return m_format; }
    const QByteArray& pcm() const { return m_pcm; }
    qint64 frameCount() const { return m_pcm.size() / m_format.bytesPerFrame(); }
    double durationSeconds() const { return double(frameCount()) / m_format.sampleRate(); }

    // The samples in another format, for an output that cannot take this
    // one: channels are mixed down or copied up, the rate is changed by
    // linear interpolation, and the sample type converted.
    QByteArray convertedTo(const QAudioFormat& target) const;

private:
    QAudioFormat m_format;
    QByteArray m_pcm;
};
