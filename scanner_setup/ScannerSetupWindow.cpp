#include "scanner_setup/ScannerSetupWindow.h"

#include "scanner_setup/PictureBox.h"
#include "scanner_setup/SetupCode.h"
#include "ui/Controls.h"

#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using controls::make;

namespace {

constexpr std::uint32_t kBlack = 0;

// The whole file, or nothing when it is missing or unreadable.
QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QPushButton* makeButton(QWidget* group, const QString& name, int left, int top, const QString& caption)
{
    auto* button = make<QPushButton>(group, name, left, top, 80, 32, caption);
    // Enter typed by the scanner belongs to the text box, never to a button.
    button->setAutoDefault(false);
    return button;
}

} // namespace

窗口_条码枪设置::窗口_条码枪设置(QWidget* owner, const QString& pictureDirectory)
    : QDialog(owner), m_pictureDirectory(pictureDirectory)
{
    setObjectName(QStringLiteral("窗口_条码枪设置"));
    setWindowTitle(QStringLiteral("条码枪设置"));
    setGeometry(50, 50, 826, 464);

    编辑框_扫描内容 = make<QPlainTextEdit>(this, QStringLiteral("编辑框_扫描内容"), 8, 8, 272, 416);
    编辑框_扫描内容->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    编辑框_扫描内容->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    编辑框_扫描内容->installEventFilter(this);
    图片框_二维码 = make<PictureBox>(this, QStringLiteral("图片框_二维码"), 289, 16, 207, 200);
    // The self-test's verdict goes below the picture, in the free space
    // between the text box and the buttons.
    标签_测试结果 = make<QLabel>(this, QStringLiteral("标签_测试结果"), 289, 224, 207, 200);
    标签_测试结果->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    标签_测试结果->setWordWrap(true);
    分组框1 = make<QGroupBox>(this, QStringLiteral("分组框1"), 506, 8, 312, 424);

    struct Place { int left, top; };
    static constexpr Place kCodePlaces[] = {{14, 16}, {104, 16}, {14, 72}, {104, 72}, {16, 176}};
    const QList<SetupCode>& codes = SetupCode::commands();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const SetupCode& code = codes[i];
        auto* button = makeButton(分组框1, code.buttonName, kCodePlaces[i].left, kCodePlaces[i].top, code.caption);
        connect(button, &QPushButton::clicked, this, [this, &code] { showCommandCode(code); });
    }
    auto* manual = makeButton(分组框1, QStringLiteral("按钮_手动模式"), 16, 128, QStringLiteral("手动模式"));
    connect(manual, &QPushButton::clicked, this, [this] { showPictureFile(QStringLiteral("sd.png")); });
    auto* continuous = makeButton(分组框1, QStringLiteral("按钮_连续模式"), 106, 128, QStringLiteral("连续模式"));
    connect(continuous, &QPushButton::clicked, this, [this] { showPictureFile(QStringLiteral("zd.png")); });
    auto* selfTest = makeButton(分组框1, QStringLiteral("按钮_扫描测试"), 16, 224, QStringLiteral("扫描测试"));
    connect(selfTest, &QPushButton::clicked, this, [this] { startSelfTest(); });

    m_scanPause.setSingleShot(true);
    m_scanPause.setInterval(kDefaultScanPause);
    connect(&m_scanPause, &QTimer::timeout, this, [this] { judgeScan(); });

    focusTextBox();
}

void 窗口_条码枪设置::setScanPause(std::chrono::milliseconds pause)
{
    m_scanPause.setInterval(pause);
}

void 窗口_条码枪设置::showCommandCode(const SetupCode& code)
{
    stopSelfTest();
    图片框_二维码->setPicture(SetupCode::picture(code.commandText, code.darkColour));
    focusTextBox();
}

void 窗口_条码枪设置::showPictureFile(const QString& fileName)
{
    stopSelfTest();
    图片框_二维码->setPicture(readWholeFile(m_pictureDirectory + u'/' + fileName));
    focusTextBox();
}

void 窗口_条码枪设置::startSelfTest()
{
    stopSelfTest();
    m_selfTestRunning = true;
    图片框_二维码->setPicture(SetupCode::picture(ScanSelfTest::kTestText, kBlack));
    标签_测试结果->setText(QStringLiteral("请用条码枪扫描上方的测试码。"));
    focusTextBox();
}

void 窗口_条码枪设置::stopSelfTest()
{
    m_selfTestRunning = false;
    m_scanPause.stop();
    m_selfTest.finish();
    标签_测试结果->setStyleSheet({});
    标签_测试结果->clear();
}

void 窗口_条码枪设置::judgeScan()
{
    if (!m_selfTestRunning || !m_selfTest.hasInput())
        return;
    const ScanSelfTest::Verdict verdict = m_selfTest.finish();
    // Green or red tells pass from fail at a glance from the counter.
    标签_测试结果->setStyleSheet(verdict.passed() ? QStringLiteral("color: #107010;") : QStringLiteral("color: #b00000;"));
    标签_测试结果->setText(verdict.message());
}

void 窗口_条码枪设置::focusTextBox()
{
    编辑框_扫描内容->setFocus(Qt::OtherFocusReason);
}

bool 窗口_条码枪设置::eventFilter(QObject* watched, QEvent* event)
{
    // Outside the self-test the text box is never read. During it, the
    // keys are watched on their way into the box, not taken from it.
    if (watched != 编辑框_扫描内容 || !m_selfTestRunning)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            m_selfTest.addEnter();
        else if (key->key() == Qt::Key_Tab)
            m_selfTest.addTab();
        else if (!key->text().isEmpty())
            m_selfTest.addText(key->text());
        else
            return QDialog::eventFilter(watched, event); // Shift and other keys that type nothing
        m_scanPause.start();
    } else if (event->type() == QEvent::InputMethod) {
        // An input method (a Chinese one left switched on) hands over its
        // text here instead of as keys.
        const auto* input = static_cast<QInputMethodEvent*>(event);
        if (!input->commitString().isEmpty()) {
            m_selfTest.addText(input->commitString());
            m_scanPause.start();
        }
    }
    return QDialog::eventFilter(watched, event);
}
