// The prompts through a real sound server: a PulseAudio daemon of the
// test's own with a null sink (it plays in real time into nothing), found
// by the player as the machine's default output.
#include "tests/ui/WavBytes.h"
#include "ui/PromptPlayer.h"
#include "ui/WavPromptPlayer.h"
#include "ui/WavSound.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kWavDir = QStringLiteral(QUILLMARK_WAV_BUILD_DIR);

double durationOf(const QString& name)
{
    QFile f(QDir(kWavDir).filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const std::optional<WavSound> sound = WavSound::parse(f.readAll());
    return sound ? sound->durationSeconds() : 0;
}

// Runs the event loop until done() or the time is up.
template <typename Done> bool waitFor(Done done, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

} // namespace

class PromptSoundTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        runtime = new QTemporaryDir;
        const QString pulse = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        ASSERT_FALSE(pulse.isEmpty()) << "pulseaudio is missing: run scripts/install-deps";
        const QString socket = runtime->filePath(QStringLiteral("native"));
        server = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), runtime->path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime->path());
        server->setProcessEnvironment(env);
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->setStandardOutputFile(QProcess::nullDevice());
        server->start(pulse,
                      {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                       QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"), QStringLiteral("-L"),
                       QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket,
                       QStringLiteral("-L"), QStringLiteral("module-null-sink")});
        ASSERT_TRUE(server->waitForStarted(5000));
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(socket) && !deadline.hasExpired())
            QThread::msleep(20);
        ASSERT_TRUE(QFile::exists(socket)) << "the sound server did not start";

        // Before Qt's audio layer starts: it connects to this server.
        qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket).toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime->path().toUtf8());
        static int argc = 1;
        static char name[] = "prompt-sound-test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    static void TearDownTestSuite()
    {
        if (server) {
            server->terminate();
            if (!server->waitForFinished(5000))
                server->kill();
            server->waitForFinished(5000);
        }
        delete server;
        delete runtime;
    }

    void SetUp() override { ASSERT_FALSE(QMediaDevices::defaultAudioOutput().isNull()); }

    static inline QTemporaryDir* runtime = nullptr;
    static inline QProcess* server = nullptr;
};

TEST_F(PromptSoundTest, APromptPlaysOnceToItsEndWithoutHoldingTheCaller)
{
    WavPromptPlayer player(kWavDir);
    const double seconds = durationOf(prompts::kScanFailed);
    ASSERT_GT(seconds, 0.3);

    QElapsedTimer timer;
    timer.start();
    player.play(prompts::kScanFailed);
    EXPECT_LT(timer.elapsed(), seconds * 1000); // returned before the sound could have ended
    ASSERT_TRUE(waitFor([&] { return player.isPlaying(); }, 5000));
    ASSERT_TRUE(waitFor([&] { return !player.isPlaying(); }, 10000));
    // Played through once, not looped and not cut short.
    EXPECT_NEAR(player.playedMicroseconds() / 1e6, seconds, 0.25);
    QCoreApplication::processEvents();
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(PromptSoundTest, PlayingAgainRestartsInsteadOfQueueing)
{
    WavPromptPlayer player(kWavDir);
    const double seconds = durationOf(prompts::kScanEmployeeCard);
    ASSERT_GT(seconds, 1.0);

    player.play(prompts::kScanEmployeeCard);
    ASSERT_TRUE(waitFor([&] { return player.playedMicroseconds() > 500000; }, 5000));
    player.play(prompts::kScanEmployeeCard);
    EXPECT_LT(player.playedMicroseconds(), 300000); // from the beginning again
    ASSERT_TRUE(waitFor([&] { return player.isPlaying(); }, 5000));
    ASSERT_TRUE(waitFor([&] { return !player.isPlaying(); }, 10000));
    // One whole prompt after the restart, not the rest of the first plus a
    // second one.
    EXPECT_NEAR(player.playedMicroseconds() / 1e6, seconds, 0.25);
}

TEST_F(PromptSoundTest, AnotherPromptCutsInAndFormatsMayDiffer)
{
    // A site's own recording in another format beside the generated ones.
    QTemporaryDir dir;
    for (const QString& name : prompts::kAll)
        ASSERT_TRUE(QFile::copy(QDir(kWavDir).filePath(name), dir.filePath(name)));
    QByteArray tone;
    for (int i = 0; i < 8000; ++i) // 0.5 s of a square wave, stereo 8-bit 16 kHz
        tone += QByteArray(2, (i / 20) % 2 ? '\xc0' : '\x40');
    QFile own(dir.filePath(prompts::kScanSucceeded));
    ASSERT_TRUE(own.remove() && own.open(QIODevice::WriteOnly));
    own.write(wavbytes::riff(wavbytes::fmt(1, 2, 16000, 8) + wavbytes::chunk("data", tone)));
    own.close();

    WavPromptPlayer player(dir.path());
    player.play(prompts::kPersonAccepted);
    ASSERT_TRUE(waitFor([&] { return player.isPlaying(); }, 5000));
    player.play(prompts::kScanSucceeded);
    ASSERT_TRUE(waitFor([&] { return player.isPlaying(); }, 5000));
    ASSERT_TRUE(waitFor([&] { return !player.isPlaying(); }, 10000));
    EXPECT_NEAR(player.playedMicroseconds() / 1e6, 0.5, 0.25);
}
