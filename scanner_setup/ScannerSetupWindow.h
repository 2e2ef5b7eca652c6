#pragma once
// 窗口_条码枪设置 (ScannerSetupWindow): shows the handheld scanner's configuration codes, one per
// button, and a text box that receives whatever the scanner types, so the
// clerk can set the scanner up by scanning the screen and try it at once.
// A self-test code beside them checks that the scanner types what the
// scanning station needs, and the station's command barcodes are shown
// with their captions. The window keeps nothing between openings.
#include "scanner_setup/ScanSelfTest.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>

#include <chrono>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class PictureBox;
struct SetupCode;

class ScannerSetupWindow : public QDialog {
    Q_OBJECT
public:
    // pictureDirectory holds sd.png and zd.png: the program directory.
    explicit ScannerSetupWindow(QWidget* owner = nullptr,
                                const QString& pictureDirectory = QCoreApplication::applicationDirPath());

    // How long the scanner must be quiet before the self-test judges what
    // arrived; only then can a missing Enter be told apart from a slow one.
    static constexpr std::chrono::milliseconds kDefaultScanPause{400};
    void setScanPause(std::chrono::milliseconds pause);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCommandCode(const SetupCode& code);
    void showPictureFile(const QString& fileName, const QString& purpose);
    void showPurpose(const QString& purpose, bool dangerous);
    void startSelfTest();
    void stopSelfTest();
    void judgeScan();
    void focusTextBox();

    QString m_pictureDirectory;
    ScanSelfTest m_selfTest;
    bool m_selfTestRunning = false;
    QTimer m_scanPause;

    QPlainTextEdit* 编辑框_扫描内容;
    PictureBox* 图片框_二维码;
    QLabel* 标签_测试结果;
    QLabel* 标签_二维码说明;
    QGroupBox* 分组框1;
};
