#include "ui/WavPromptPlayer.h"

#include <QAudioSink>
#include <QDir>
#include <QFile>
#include <QMediaDevices>

namespace {

std::optional<WavSound> load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > WavPromptPlayer::kMaxFileSize)
        return std::nullopt;
    return WavSound::parse(file.readAll());
}

} // namespace

WavPromptPlayer::WavPromptPlayer(const QString& wavDirectory, QObject* parent) : QObject(parent)
{
    const QDir dir(wavDirectory);
    for (const QString& name : prompts::kAll) {
        if (std::optional<WavSound> sound = load(dir.filePath(name)))
            m_sounds.insert(name, *sound);
    }
}

WavPromptPlayer::~WavPromptPlayer()
{
    // The sink reads from m_playing: it goes before the buffer does.
    if (m_sink)
        m_sink->stop();
    delete m_sink;
}

void WavPromptPlayer::play(const QString& fileName)
{
    const auto sound = m_sounds.constFind(fileName);
    if (sound == m_sounds.cend())
        return;
    // Asked at every prompt: a headset plugged in after the window opened
    // is used from the next prompt on.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;

    QAudioFormat format = sound->format();
    QByteArray pcm = sound->pcm();
    if (!device.isFormatSupported(format)) {
        format = device.preferredFormat();
        pcm = sound->convertedTo(format);
        if (pcm.isEmpty())
            return;
    }

    if (m_sink) {
        m_sink->stop();
        if (m_sinkDevice != device || m_sink->format() != format) {
            delete m_sink;
            m_sink = nullptr;
        }
    }
    if (!m_sink) {
        m_sink = new QAudioSink(device, format, this);
        m_sinkDevice = device;
    }
    m_playing.close();
    m_playing.setData(pcm);
    m_playing.open(QIODevice::ReadOnly);
    m_sink->start(&m_playing);
}

bool WavPromptPlayer::isPlaying() const
{
    return m_sink && m_sink->state() == QAudio::ActiveState;
}

qint64 WavPromptPlayer::playedMicroseconds() const
{
    return m_sink ? m_sink->processedUSecs() : 0;
}
