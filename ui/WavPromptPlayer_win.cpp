// The prompts on Windows: the system plays each WAV file's bytes from
// memory (winmm PlaySound with SND_MEMORY | SND_ASYNC), so no audio library
// is needed. PlaySound reads the bytes while it plays, so they stay in
// memory for the player's whole life; a new prompt replaces the one still
// sounding, and the destructor stops the sound before the bytes go.
#include "ui/WavPromptPlayer.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <optional>

#include <windows.h>

#include <mmsystem.h> // needs windows.h before it

namespace {

quint16 u16(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 u32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

// How long a WAV file sounds, in microseconds, or nothing when it is not
// an uncompressed WAV file the system plays (integer PCM, or 32-bit float)
// or holds no samples. A data chunk cut short is taken as far as it goes.
std::optional<qint64> duration(const QByteArray& file)
{
    const char* base = file.constData();
    const qint64 size = file.size();
    if (size < 12 || std::memcmp(base, "RIFF", 4) != 0 || std::memcmp(base + 8, "WAVE", 4) != 0)
        return std::nullopt;
    quint16 tag = 0, channels = 0, blockAlign = 0, bits = 0;
    quint32 rate = 0;
    bool haveFmt = false;
    for (qint64 at = 12; at + 8 <= size;) {
        const qint64 chunkSize = u32(base + at + 4);
        const qint64 body = at + 8;
        if (std::memcmp(base + at, "fmt ", 4) == 0) {
            if (chunkSize < 16 || body + chunkSize > size)
                return std::nullopt;
            const char* p = base + body;
            tag = u16(p);
            channels = u16(p + 2);
            rate = u32(p + 4);
            blockAlign = u16(p + 12);
            bits = u16(p + 14);
            if (tag == 0xFFFE) { // WAVE_FORMAT_EXTENSIBLE: the real format opens its GUID
                if (chunkSize < 40)
                    return std::nullopt;
                tag = u16(p + 24);
            }
            haveFmt = true;
        } else if (std::memcmp(base + at, "data", 4) == 0) {
            const bool pcm = tag == 1 && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool flt = tag == 3 && bits == 32;
            if (!haveFmt || !(pcm || flt) || channels == 0 || channels > 32 || rate < 1000 || rate > 768000
                || blockAlign != channels * bits / 8)
                return std::nullopt;
            const qint64 frames = std::min(chunkSize, size - body) / blockAlign;
            if (frames == 0)
                return std::nullopt;
            return frames * 1000000 / rate;
        }
        at = body + chunkSize + (chunkSize & 1);
    }
    return std::nullopt;
}

} // namespace

WavPromptPlayer::WavPromptPlayer(const QString& wavDirectory, QObject* parent) : QObject(parent)
{
    const QDir dir(wavDirectory);
    for (const QString& name : prompts::kAll) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
            continue;
        QByteArray bytes = file.readAll();
        if (const std::optional<qint64> length = duration(bytes))
            m_sounds.insert(name, Prompt{std::move(bytes), *length});
    }
}

WavPromptPlayer::~WavPromptPlayer()
{
    if (m_current)
        PlaySoundW(nullptr, nullptr, 0);
}

void WavPromptPlayer::play(const QString& fileName)
{
    const auto prompt = m_sounds.constFind(fileName);
    if (prompt == m_sounds.cend())
        return;
    // SND_NODEFAULT: a machine without sound output stays silent instead of
    // playing the system's default beep.
    if (PlaySoundW(reinterpret_cast<LPCWSTR>(prompt->file.constData()), nullptr,
                   SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
        m_current = &*prompt;
        m_started.start();
    } else {
        m_current = nullptr;
    }
}

bool WavPromptPlayer::isPlaying() const
{
    return m_current && m_started.nsecsElapsed() / 1000 < m_current->microseconds;
}

qint64 WavPromptPlayer::playedMicroseconds() const
{
    return m_current ? std::min(m_started.nsecsElapsed() / 1000, m_current->microseconds) : 0;
}
