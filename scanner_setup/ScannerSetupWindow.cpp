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

ScannerSetupWindow::ScannerSetupWindow(QWidget* owner, const QString& pictureDirectory)
    : QDialog(owner)
    , m_pictureDirectory(pictureDirectory)
{
    setObjectName(QStringLiteral("窗口_条码枪设置"));
    setWindowTitle(QStringLiteral("条码枪设置"));
    setGeometry(50, 50, 826, 464);

    编辑框_扫描内容 = make<QPlainTextEdit>(this, QStringLiteral("编辑框_扫描内容"), 8, 8, 272, 416);
    编辑框_扫描内容->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    编辑框_扫描内容->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    编辑框_扫描内容->installEventFilter(this);
    图片框_二维码 = make<PictureBox>(this, QStringLiteral("图片框_二维码"), 289, 16, 207, 200);
    // Under the picture: what the code shown sets; below that the
    // self-test's verdict, in the free space between the text box and the
    // buttons.
    标签_二维码说明 = make<QLabel>(this, QStringLiteral("标签_二维码说明"), 289, 220, 207, 44);
    标签_二维码说明->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    标签_二维码说明->setWordWrap(true);
    标签_测试结果 = make<QLabel>(this, QStringLiteral("标签_测试结果"), 289, 268, 207, 156);
    标签_测试结果->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    标签_测试结果->setWordWrap(true);
    分组框1 = make<QGroupBox>(this, QStringLiteral("分组框1"), 506, 8, 312, 424);

    struct Place {
        int left, top;
    };
    static constexpr Place kCodePlaces[] = {{14, 16}, {104, 16}, {14, 72}, {104, 72}, {16, 176}};
    const QList<SetupCode>& codes = SetupCode::commands();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const SetupCode& code = codes[i];
        auto* button = makeButton(分组框1, code.buttonName, kCodePlaces[i].left, kCodePlaces[i].top, code.caption);
        connect(button, &QPushButton::clicked, this, [this, &code] { showCommandCode(code); });
    }
    auto* manual = makeButton(分组框1, QStringLiteral("按钮_手动模式"), 16, 128, QStringLiteral("手动模式"));
    connect(manual, &QPushButton::clicked, this,
            [this] { showPictureFile(QStringLiteral("sd.png"), SetupCode::manualPurpose()); });
    auto* continuous = makeButton(分组框1, QStringLiteral("按钮_连续模式"), 106, 128, QStringLiteral("连续模式"));
    connect(continuous, &QPushButton::clicked, this,
            [this] { showPictureFile(QStringLiteral("zd.png"), SetupCode::continuousPurpose()); });
    auto* selfTest = makeButton(分组框1, QStringLiteral("按钮_扫描测试"), 16, 224, QStringLiteral("扫描测试"));
    connect(selfTest, &QPushButton::clicked, this, [this] { startSelfTest(); });

    // The station's command barcodes, always shown: the clerk scans them at
    // the counter instead of reaching for the mouse.
    make<QLabel>(分组框1, QStringLiteral("标签_命令条码"), 6, 262, 300, 18,
                 QStringLiteral("扫码出库窗口的命令条码（代替鼠标操作）："));
    const QList<SetupCode::Command> commands = SetupCode::stationCommands();
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const int left = 6 + int(i) * 100;
        auto* box = make<PictureBox>(分组框1, commands[i].boxName, left, 282, 100, 100);
        box->setPicture(SetupCode::picture(commands[i].text, kBlack));
        auto* caption = make<QLabel>(分组框1, commands[i].boxName + QStringLiteral("_说明"), left, 384, 100, 32,
                                     commands[i].caption);
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        caption->setWordWrap(true);
    }

    // One line that says how the window is used.
    auto* help = make<QLabel>(this, QStringLiteral("标签_使用说明"), 8, 436, 810, 22,
                              QStringLiteral("使用方法：点右侧按钮显示设置码，用条码枪扫描屏幕上的码即完成设置；"
                                             "扫到的内容显示在左侧文本框中，可用“扫描测试”检查条码枪。"));
    help->setWordWrap(false);

    m_scanPause.setSingleShot(true);
    m_scanPause.setInterval(kDefaultScanPause);
    connect(&m_scanPause, &QTimer::timeout, this, [this] { judgeScan(); });

    focusTextBox();
}

void ScannerSetupWindow::setScanPause(std::chrono::milliseconds pause)
{
    m_scanPause.setInterval(pause);
}

void ScannerSetupWindow::showCommandCode(const SetupCode& code)
{
    stopSelfTest();
    图片框_二维码->setPicture(SetupCode::picture(code.commandText, code.darkColour));
    showPurpose(code.purpose, code.dangerous);
    focusTextBox();
}

void ScannerSetupWindow::showPictureFile(const QString& fileName, const QString& purpose)
{
    stopSelfTest();
    图片框_二维码->setPicture(readWholeFile(m_pictureDirectory + u'/' + fileName));
    showPurpose(purpose, false);
    focusTextBox();
}

void ScannerSetupWindow::showPurpose(const QString& purpose, bool dangerous)
{
    // A dangerous code gets a red frame around the box and a red caption;
    // the code itself stays black so that every scanner reads it.
    图片框_二维码->setStyleSheet(dangerous ? QStringLiteral("border: 4px solid #d00000;") : QString());
    标签_二维码说明->setStyleSheet(dangerous ? QStringLiteral("color: #d00000; font-weight: bold;") : QString());
    标签_二维码说明->setText(purpose);
}

void ScannerSetupWindow::startSelfTest()
{
    stopSelfTest();
    m_selfTestRunning = true;
    图片框_二维码->setPicture(SetupCode::picture(ScanSelfTest::kTestText, kBlack));
    showPurpose(QStringLiteral("扫描测试：检查条码枪输入的内容和结尾的回车"), false);
    标签_测试结果->setText(QStringLiteral("请用条码枪扫描上方的测试码。"));
    focusTextBox();
}

void ScannerSetupWindow::stopSelfTest()
{
    m_selfTestRunning = false;
    m_scanPause.stop();
    m_selfTest.finish();
    标签_测试结果->setStyleSheet({});
    标签_测试结果->clear();
}

void ScannerSetupWindow::judgeScan()
{
    if (!m_selfTestRunning || !m_selfTest.hasInput())
        return;
    const ScanSelfTest::Verdict verdict = m_selfTest.finish();
    // Green or red tells pass from fail at a glance from the counter.
    标签_测试结果->setStyleSheet(verdict.passed() ? QStringLiteral("color: #107010;")
                                                  : QStringLiteral("color: #b00000;"));
    标签_测试结果->setText(verdict.message());
}

void ScannerSetupWindow::focusTextBox()
{
    编辑框_扫描内容->setFocus(Qt::OtherFocusReason);
}

bool ScannerSetupWindow::eventFilter(QObject* watched, QEvent* event)
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
