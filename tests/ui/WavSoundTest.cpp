// The WAV reader: the formats a site may drop into wav/, the files it must
// refuse, and the conversion for outputs that want another format; and the
// six prompt files as committed and as copied beside the program.
#include "ui/WavSound.h"
#include "tests/ui/WavBytes.h"
#include "ui/PromptPlayer.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

using namespace wavbytes;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double rms(const WavSound& sound)
{
    const QAudioFormat& format = sound.format();
    double sum = 0;
    const qint64 samples = sound.pcm().size() / format.bytesPerSample();
    for (qint64 i = 0; i < samples; ++i) {
        const double v = format.normalizedSampleValue(sound.pcm().constData() + i * format.bytesPerSample());
        sum += v * v;
    }
    return std::sqrt(sum / double(samples));
}

} // namespace

TEST(PromptAssets, EachPromptIsShortPcmSpeechAndIsCopiedBesideTheProgram)
{
    QList<QByteArray> seen;
    for (const QString& name : prompts::kAll) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray file = readAll(QDir(QStringLiteral(QUILLMARK_WAV_SOURCE_DIR)).filePath(name));
        ASSERT_GE(file.size(), 44);
        // The canonical header: RIFF/WAVE, fmt PCM (1), mono, 16 bits.
        EXPECT_EQ(file.left(4), "RIFF");
        EXPECT_EQ(file.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 20), 1);
        EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 22), 1);
        EXPECT_EQ(qFromLittleEndian<quint16>(file.constData() + 34), 16);
        EXPECT_EQ(qFromLittleEndian<quint32>(file.constData() + 4), quint32(file.size() - 8));

        const std::optional<WavSound> sound = WavSound::parse(file);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->format().sampleRate(), 22050);
        EXPECT_GE(sound->durationSeconds(), 0.3);
        EXPECT_LE(sound->durationSeconds(), 4.0);
        EXPECT_GT(rms(*sound), 0.05); // speech, not silence or a click
        EXPECT_FALSE(seen.contains(sound->pcm())) << "two prompts say the same";
        seen << sound->pcm();

        EXPECT_EQ(readAll(QDir(QStringLiteral(QUILLMARK_WAV_BUILD_DIR)).filePath(name)), file);
    }
}

TEST(WavSound, ReadsTheUncompressedFormats)
{
    const QByteArray pcm16 = samples16({0, 16384, -16384, 32767});
    struct Case {
        const char* what;
        QByteArray file;
        QAudioFormat::SampleFormat format;
        int channels;
        qint64 frames;
        QByteArray pcm;
    };
    const Case cases[] = {
        {"16-bit mono", riff(fmt(1, 1, 22050, 16) + chunk("data", pcm16)), QAudioFormat::Int16, 1, 4, pcm16},
        {"other chunks, odd sizes padded, before and after fmt",
         riff(chunk("LIST", "INFOabc") + fmt(1, 1, 8000, 16) + chunk("fact", le32(4)) + chunk("data", pcm16)
              + chunk("id3 ", "x")),
         QAudioFormat::Int16, 1, 4, pcm16},
        {"16-bit stereo", riff(fmt(1, 2, 44100, 16) + chunk("data", pcm16)), QAudioFormat::Int16, 2, 2, pcm16},
        {"8-bit", riff(fmt(1, 1, 11025, 8) + chunk("data", QByteArray("\x80\xff\x00", 3))), QAudioFormat::UInt8, 1, 3,
         QByteArray("\x80\xff\x00", 3)},
        {"32-bit float", riff(fmt(3, 1, 48000, 32) + chunk("data", le32(0x3f000000))), QAudioFormat::Float, 1, 1,
         le32(0x3f000000)},
        {"24-bit widened to 32", riff(fmt(1, 1, 48000, 24) + chunk("data", QByteArray("\x56\x34\x12\xff\xff\xff", 6))),
         QAudioFormat::Int32, 1, 2, QByteArray("\x00\x56\x34\x12\x00\xff\xff\xff", 8)},
        {"extensible, PCM sub-format",
         riff(chunk("fmt ",
                    le16(0xFFFE) + le16(2) + le32(48000) + le32(192000) + le16(4) + le16(16) + le16(22) + le16(16)
                        + le32(3) + le16(1) + QByteArray(14, '\x01'))
              + chunk("data", pcm16)),
         QAudioFormat::Int16, 2, 2, pcm16},
        {"data cut short: the whole frames that are there",
         riff(fmt(1, 2, 8000, 16)) + "data" + le32(1000) + pcm16 + "\x01", QAudioFormat::Int16, 2, 2, pcm16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<WavSound> sound = WavSound::parse(c.file);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->format().sampleFormat(), c.format);
        EXPECT_EQ(sound->format().channelCount(), c.channels);
        EXPECT_EQ(sound->frameCount(), c.frames);
        EXPECT_EQ(sound->pcm(), c.pcm);
    }
}

TEST(WavSound, RefusesWhatItCannotPlay)
{
    const QByteArray data = chunk("data", samples16({1, 2}));
    struct Case {
        const char* what;
        QByteArray file;
    };
    const Case cases[] = {
        {"empty", {}},
        {"text", "this is not a sound file, just some words in a file named .wav"},
        {"RIFF but not WAVE", "RIFF" + le32(12) + "AVI " + fmt(1, 1, 8000, 16)},
        {"no fmt", riff(data)},
        {"no data", riff(fmt(1, 1, 8000, 16))},
        {"data before fmt", riff(data + fmt(1, 1, 8000, 16))},
        {"no samples", riff(fmt(1, 1, 8000, 16) + chunk("data", {}))},
        {"less than one frame", riff(fmt(1, 2, 8000, 16) + chunk("data", "ab"))},
        {"compressed (ADPCM)", riff(fmt(2, 1, 8000, 4) + data)},
        {"MP3 in a WAV", riff(fmt(0x55, 1, 8000, 0) + data)},
        {"12-bit", riff(fmt(1, 1, 8000, 12) + data)},
        {"64-bit float", riff(fmt(3, 1, 8000, 64) + data)},
        {"no channels", riff(fmt(1, 0, 8000, 16) + data)},
        {"rate 0", riff(fmt(1, 1, 0, 16) + data)},
        {"block size not channels × sample size",
         riff(chunk("fmt ", le16(1) + le16(1) + le32(8000) + le32(16000) + le16(3) + le16(16)) + data)},
        {"fmt cut short", riff(chunk("fmt ", le16(1) + le16(1)) + data)},
        {"fmt larger than the file", riff("fmt " + le32(0xFFFFFFFF) + le16(1) + le16(1))},
        {"extensible without its sub-format", riff(chunk("fmt ", fmt(0xFFFE, 1, 8000, 16).mid(8)) + data)},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(WavSound::parse(c.file)) << c.what;
}

TEST(WavSound, ConvertsForAnOutputThatWantsAnotherFormat)
{
    const std::optional<WavSound> mono =
        WavSound::parse(riff(fmt(1, 1, 22050, 16) + chunk("data", samples16({0, 16384, -16384, 32767}))));
    ASSERT_TRUE(mono);
    EXPECT_EQ(mono->convertedTo(mono->format()), mono->pcm());

    // Mono 22050 Hz integers to stereo 44100 Hz float: every input frame
    // lands on an even output frame, in both channels, with interpolated
    // frames between.
    QAudioFormat stereoFloat;
    stereoFloat.setSampleRate(44100);
    stereoFloat.setChannelCount(2);
    stereoFloat.setSampleFormat(QAudioFormat::Float);
    const QByteArray out = mono->convertedTo(stereoFloat);
    ASSERT_EQ(out.size(), 8 * 2 * 4);
    auto at = [&](int frame, int channel) {
        return qFromLittleEndian<float>(out.constData() + (frame * 2 + channel) * 4);
    };
    const float expected[] = {0.0f, 0.25f, 0.5f, 0.0f, -0.5f, 0.25f, 1.0f, 1.0f};
    for (int f = 0; f < 8; ++f) {
        EXPECT_NEAR(at(f, 0), expected[f], 1e-3) << f;
        EXPECT_EQ(at(f, 1), at(f, 0)) << f;
    }

    // Stereo to mono 16-bit at half the rate: channels averaged.
    const std::optional<WavSound> stereo =
        WavSound::parse(riff(fmt(1, 2, 16000, 16) + chunk("data", samples16({1000, 3000, -8, -8, 500, 700, 0, 0}))));
    ASSERT_TRUE(stereo);
    QAudioFormat monoHalf;
    monoHalf.setSampleRate(8000);
    monoHalf.setChannelCount(1);
    monoHalf.setSampleFormat(QAudioFormat::Int16);
    EXPECT_EQ(stereo->convertedTo(monoHalf), samples16({2000, 600}));

    EXPECT_TRUE(mono->convertedTo(QAudioFormat{}).isEmpty());
}
