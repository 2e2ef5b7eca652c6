#include "ui/WavSound.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint16 u16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

struct FmtChunk {
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
};

std::optional<FmtChunk> readFmt(const char* p, qint64 size)
{
    if (size < 16)
        return std::nullopt;
    FmtChunk fmt{u16(p), u16(p + 2), u32(p + 4), u16(p + 12), u16(p + 14)};
    // WAVE_FORMAT_EXTENSIBLE names the real format in the first two bytes
    // of its sub-format GUID.
    if (fmt.tag == kFormatExtensible) {
        if (size < 40)
            return std::nullopt;
        fmt.tag = u16(p + 24);
    }
    return fmt;
}

QAudioFormat::SampleFormat sampleFormatOf(const FmtChunk& fmt)
{
    if (fmt.tag == kFormatFloat)
        return fmt.bits == 32 ? QAudioFormat::Float : QAudioFormat::Unknown;
    if (fmt.tag != kFormatPcm)
        return QAudioFormat::Unknown;
    switch (fmt.bits) {
    case 8:
        return QAudioFormat::UInt8;
    case 16:
        return QAudioFormat::Int16;
    case 24: // widened below
    case 32:
        return QAudioFormat::Int32;
    default:
        return QAudioFormat::Unknown;
    }
}

QByteArray widen24(const QByteArray& data)
{
    const qint64 samples = data.size() / 3;
    QByteArray out(samples * 4, Qt::Uninitialized);
    for (qint64 i = 0; i < samples; ++i) {
        out[4 * i] = 0;
        out[4 * i + 1] = data[3 * i];
        out[4 * i + 2] = data[3 * i + 1];
        out[4 * i + 3] = data[3 * i + 2];
    }
    return out;
}

void writeSample(char* p, QAudioFormat::SampleFormat format, float v)
{
    v = std::clamp(v, -1.0f, 1.0f);
    switch (format) {
    case QAudioFormat::UInt8:
        *reinterpret_cast<quint8*>(p) = quint8(std::lround(v * 127.0f) + 128);
        break;
    case QAudioFormat::Int16:
        qToLittleEndian<qint16>(qint16(std::lround(v * 32767.0f)), p);
        break;
    case QAudioFormat::Int32:
        qToLittleEndian<qint32>(qint32(std::llround(double(v) * 2147483647.0)), p);
        break;
    case QAudioFormat::Float:
        qToLittleEndian<float>(v, p);
        break;
    default:
        break;
    }
}

} // namespace

std::optional<WavSound> WavSound::parse(const QByteArray& file)
{
    const char* base = file.constData();
    const qint64 size = file.size();
    if (size < 12 || std::memcmp(base, "RIFF", 4) != 0 || std::memcmp(base + 8, "WAVE", 4) != 0)
        return std::nullopt;

    std::optional<FmtChunk> fmt;
    QByteArray data;
    bool haveData = false;
    for (qint64 at = 12; at + 8 <= size && !haveData;) {
        const char* id = base + at;
        const qint64 chunkSize = u32(base + at + 4);
        const qint64 body = at + 8;
        const qint64 available = std::min(chunkSize, size - body);
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (available < chunkSize)
                return std::nullopt;
            fmt = readFmt(base + body, chunkSize);
        } else if (std::memcmp(id, "data", 4) == 0) {
            data = file.mid(body, available);
            haveData = true;
        }
        at = body + chunkSize + (chunkSize & 1); // chunks are padded to even sizes
    }
    if (!fmt || !haveData)
        return std::nullopt;

    const QAudioFormat::SampleFormat sampleFormat = sampleFormatOf(*fmt);
    if (sampleFormat == QAudioFormat::Unknown || fmt->channels == 0 || fmt->channels > 32 || fmt->sampleRate < 1000
        || fmt->sampleRate > 768000 || fmt->blockAlign != fmt->channels * fmt->bits / 8)
        return std::nullopt;

    data.truncate(data.size() - data.size() % fmt->blockAlign); // whole frames only
    if (data.isEmpty())
        return std::nullopt;

    WavSound sound;
    sound.m_format.setSampleRate(int(fmt->sampleRate));
    sound.m_format.setChannelCount(fmt->channels);
    sound.m_format.setSampleFormat(sampleFormat);
    sound.m_pcm = fmt->bits == 24 ? widen24(data) : data;
    return sound;
}

QByteArray WavSound::convertedTo(const QAudioFormat& target) const
{
    if (target == m_format)
        return m_pcm;
    if (!target.isValid())
        return {};

    // Source frames as float, mixed to the target's channel layout: a mono
    // source goes to every output channel, a mono target gets the average,
    // otherwise channels are matched by position and extra ones stay quiet.
    const int inChannels = m_format.channelCount();
    const int outChannels = target.channelCount();
    const int inSample = m_format.bytesPerSample();
    const qint64 frames = frameCount();
    std::vector<float> mixed(size_t(frames) * size_t(outChannels), 0.0f);
    for (qint64 f = 0; f < frames; ++f) {
        const char* frame = m_pcm.constData() + f * m_format.bytesPerFrame();
        float* out = mixed.data() + f * outChannels;
        if (outChannels == 1) {
            float sum = 0;
            for (int c = 0; c < inChannels; ++c)
                sum += m_format.normalizedSampleValue(frame + c * inSample);
            out[0] = sum / float(inChannels);
        } else {
            for (int c = 0; c < outChannels; ++c) {
                const int from = inChannels == 1 ? 0 : c;
                if (from < inChannels)
                    out[c] = m_format.normalizedSampleValue(frame + from * inSample);
            }
        }
    }

    const double step = double(m_format.sampleRate()) / target.sampleRate();
    const qint64 outFrames =
        std::max<qint64>(1, qint64(std::floor(double(frames) * target.sampleRate() / m_format.sampleRate())));
    QByteArray result(outFrames * target.bytesPerFrame(), Qt::Uninitialized);
    for (qint64 f = 0; f < outFrames; ++f) {
        const double pos = f * step;
        const qint64 i = std::min<qint64>(qint64(pos), frames - 1);
        const qint64 j = std::min<qint64>(i + 1, frames - 1);
        const float t = float(pos - double(i));
        for (int c = 0; c < outChannels; ++c) {
            const float v = mixed[size_t(i * outChannels + c)] * (1 - t) + mixed[size_t(j * outChannels + c)] * t;
            writeSample(result.data() + f * target.bytesPerFrame() + c * target.bytesPerSample(), target.sampleFormat(),
                        v);
        }
    }
    return result;
}
