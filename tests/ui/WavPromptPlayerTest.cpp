// The prompt player as the station window uses it: files loaded once from
// a directory, bad or missing files and a machine without sound output
// silent and harmless, play() never waiting for the sound.
#include "ui/WavPromptPlayer.h"
#include "tests/ui/WavBytes.h"
#include "ui/PromptPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList g_messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages << message;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class WavPromptPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "prompt-test";
        static char* argv[] = {name, nullptr};
        // A machine without sound output, even where the developer's has
        // one: a sound server nobody listens on.
        qputenv("PULSE_SERVER", "unix:/nonexistent/quillmark-test/native");
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
    void SetUp() override
    {
        g_messages.clear();
        previous = qInstallMessageHandler(collect);
    }
    void TearDown() override { qInstallMessageHandler(previous); }

    QtMessageHandler previous = nullptr;
};

TEST_F(WavPromptPlayerTest, LoadsWhatIsPlayableAndStaysSilentOnTheRest)
{
    QTemporaryDir dir;
    const QDir wav(dir.path());
    // A real prompt, an empty file, garbage, a header without samples, a
    // directory where a file should be; 材料出库单已经生成.wav is missing.
    ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(QUILLMARK_WAV_SOURCE_DIR)).filePath(prompts::kScanFailed),
                            wav.filePath(prompts::kScanFailed)));
    write(wav.filePath(prompts::kScanSucceeded), {});
    write(wav.filePath(prompts::kScanEmployeeCard), QByteArray(5000, '\x7f'));
    write(wav.filePath(prompts::kEmployeeNotFound),
          wavbytes::riff(wavbytes::fmt(1, 1, 22050, 16) + wavbytes::chunk("data", {})));
    ASSERT_TRUE(wav.mkdir(prompts::kPersonAccepted));

    WavPromptPlayer player(dir.path());
    EXPECT_TRUE(player.hasSound(prompts::kScanFailed));
    for (const QString& name : prompts::kAll.mid(1))
        EXPECT_FALSE(player.hasSound(name)) << name.toStdString();

    // The files are in memory: removing them changes nothing.
    ASSERT_TRUE(QFile::remove(wav.filePath(prompts::kScanFailed)));
    EXPECT_TRUE(player.hasSound(prompts::kScanFailed));

    // Every prompt, an unknown name, and the same prompt again at once:
    // nothing waits for the sound (the real one is about a second long),
    // nothing is reported. (Qt's audio layer may say once per process that
    // it found no sound server when the first prompt asks for the output.)
    player.play(prompts::kScanFailed);
    g_messages.clear();
    QElapsedTimer timer;
    timer.start();
    for (const QString& name :
         prompts::kAll + QStringList{QStringLiteral("nonsense.wav"), QString(), prompts::kScanFailed})
        player.play(name);
    EXPECT_LT(timer.elapsed(), 500);
    QCoreApplication::processEvents();
    EXPECT_TRUE(g_messages.isEmpty()) << g_messages.join(u'\n').toStdString();
}

TEST_F(WavPromptPlayerTest, AMissingDirectoryGivesSilentPrompts)
{
    WavPromptPlayer player(QStringLiteral("/nonexistent/quillmark/wav"));
    for (const QString& name : prompts::kAll) {
        EXPECT_FALSE(player.hasSound(name));
        player.play(name);
    }
    EXPECT_TRUE(g_messages.isEmpty()) << g_messages.join(u'\n').toStdString();
}

TEST_F(WavPromptPlayerTest, LoadsTheInstalledPrompts)
{
    WavPromptPlayer player(QStringLiteral(QUILLMARK_WAV_BUILD_DIR));
    for (const QString& name : prompts::kAll)
        EXPECT_TRUE(player.hasSound(name)) << name.toStdString();
}
