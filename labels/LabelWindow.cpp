#include "labels/LabelWindow.h"

#include "labels/LabelPicture.h"
#include "labels/LabelPreview.h"
#include "labels/LabelSettings.h"
#include "ui/Controls.h"
#include "ui/DropDownList.h"
#include "ui/MessageBox.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>

#include <algorithm>
#include <initializer_list>
#include <memory>

using controls::make;

namespace {

constexpr int kPictureColumn = 4;
constexpr int kRowHeight = 60;
// Runs longer than this show a progress dialog with a cancel button.
constexpr int kQuietRun = 5;

// A box for whole millimetres. It keeps what is typed, letters included,
// so that a mistyped "5O" is refused with its reason when saved or printed
// instead of silently becoming "5".
QLineEdit* digitsBox(QWidget* parent, const QString& name, int left, int top)
{
    auto* box = make<QLineEdit>(parent, name, left, top, 48, 20);
    box->setMaxLength(16);
    return box;
}

QPushButton* button(QWidget* parent, const QString& name, int left, int top, int width, int height,
                    const QString& caption)
{
    auto* b = make<QPushButton>(parent, name, left, top, width, height, caption);
    b->setAutoDefault(false);
    return b;
}

// Reading thousands of rows or sending a run of labels takes a moment;
// the cursor says so.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

LabelWindow::LabelWindow(const LabelKind& kind, const Layout& layout, RecordSet& records, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_records(records)
    , m_printer(kind)
    , m_ownsMessages(layout.ownsMessages)
{
    setObjectName(layout.objectName);
    setWindowTitle(layout.caption);
    setGeometry(layout.window);

    const QRect& g = layout.group;
    分组框1 =
        make<QGroupBox>(this, QStringLiteral("分组框1"), g.x(), g.y(), g.width(), g.height(), QStringLiteral("设置"));

    auto* paper =
        make<QGroupBox>(分组框1, QStringLiteral("分组框_纸张长宽"), 8, 15, 191, 70, QStringLiteral("纸张长宽(毫米)"));
    make<QLabel>(paper, QStringLiteral("标签_长"), 8, 16, 24, 23, QStringLiteral("宽:"));
    编辑框_纸张长 = digitsBox(paper, QStringLiteral("编辑框_纸张长"), 40, 16);
    make<QLabel>(paper, QStringLiteral("标签_宽"), 96, 16, 24, 23, QStringLiteral("高:"));
    编辑框_纸张宽 = digitsBox(paper, QStringLiteral("编辑框_纸张宽"), 128, 16);
    按钮_纸张设置 = button(paper, QStringLiteral("按钮_纸张设置"), 120, 40, 64, 22, QStringLiteral("保存"));

    auto* qrSize =
        make<QGroupBox>(分组框1, QStringLiteral("分组框_二维码"), 200, 16, 191, 70, QStringLiteral("二维码长宽(毫米)"));
    // 二维码长 is the printed height and 二维码宽 the printed width: the
    // captions say so.
    make<QLabel>(qrSize, QStringLiteral("标签_长1"), 8, 16, 24, 23, QStringLiteral("高:"));
    编辑框_二维码长 = digitsBox(qrSize, QStringLiteral("编辑框_二维码长"), 40, 16);
    make<QLabel>(qrSize, QStringLiteral("标签_宽1"), 96, 16, 24, 23, QStringLiteral("宽:"));
    编辑框_二维码宽 = digitsBox(qrSize, QStringLiteral("编辑框_二维码宽"), 128, 16);
    按钮_二维码设置 = button(qrSize, QStringLiteral("按钮_二维码设置"), 120, 40, 64, 22, QStringLiteral("保存"));

    auto* margins =
        make<QGroupBox>(分组框1, QStringLiteral("分组框_打印边距"), 400, 16, 240, 70, QStringLiteral("打印边距(毫米)"));
    make<QLabel>(margins, QStringLiteral("标签_上"), 8, 16, 24, 23, QStringLiteral("上:"));
    编辑框_上 = digitsBox(margins, QStringLiteral("编辑框_上"), 40, 16);
    make<QLabel>(margins, QStringLiteral("标签_宽2"), 96, 16, 24, 23, QStringLiteral("下:"));
    编辑框_下 = digitsBox(margins, QStringLiteral("编辑框_下"), 128, 16);
    make<QLabel>(margins, QStringLiteral("标签_长3"), 8, 40, 24, 23, QStringLiteral("左:"));
    编辑框_左 = digitsBox(margins, QStringLiteral("编辑框_左"), 40, 40);
    make<QLabel>(margins, QStringLiteral("标签_宽3"), 96, 40, 24, 23, QStringLiteral("右:"));
    编辑框_右 = digitsBox(margins, QStringLiteral("编辑框_右"), 128, 40);
    按钮_边距设置 = button(margins, QStringLiteral("按钮_边距设置"), 184, 14, 48, 41, QStringLiteral("保存"));

    auto* printer =
        make<QGroupBox>(分组框1, QStringLiteral("分组框_打印机设置"), 648, 16, 191, 70, QStringLiteral("打印机设置"));
    组合框_打印机 = make<DropDownList>(printer, QStringLiteral("组合框_打印机"), 8, 16, 176, 20);
    组合框_打印机->setEditable(true);
    组合框_打印机->setInsertPolicy(QComboBox::NoInsert);
    组合框_打印机->aboutToOpen = [this] { 列出打印机(); };
    按钮_默认打印机 = button(printer, QStringLiteral("按钮_默认打印机"), 112, 40, 64, 22, QStringLiteral("保存"));

    按钮_读取U8 = button(分组框1, QStringLiteral("按钮_读取U8"), 848, 13, 128, 32, layout.readCaption);
    按钮_打印 = button(分组框1, QStringLiteral("按钮_打印"), 848, 56, 128, 32, QStringLiteral("打  印"));
    const QPoint& side = layout.side;
    按钮_全选 = button(this, QStringLiteral("按钮_全选"), side.x(), side.y(), 80, 32, QStringLiteral("全选"));
    按钮_全不选 =
        button(this, QStringLiteral("按钮_全不选"), side.x(), side.y() + 48, 80, 32, QStringLiteral("全不选"));
    按钮_预览 = button(this, QStringLiteral("按钮_预览"), side.x(), side.y() + 96, 80, 32, QStringLiteral("预览"));
    auto* filterCaption =
        make<QLabel>(this, QStringLiteral("标签_筛选"), side.x(), side.y() + 144, 200, 20, QStringLiteral("查找:"));
    编辑框_筛选 = make<QLineEdit>(this, QStringLiteral("编辑框_筛选"), side.x(), side.y() + 166, 200, 24);
    编辑框_筛选->setClearButtonEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*>{按钮_全选, 按钮_全不选, 按钮_预览, filterCaption, 编辑框_筛选})
        m_side.append({w, w->pos()});

    const QRect& t = layout.grid;
    高级表格_人员 = make<QTableWidget>(this, QStringLiteral("高级表格_人员"), t.x(), t.y(), t.width(), t.height());
    m_designGrid = t;
    m_designSize = layout.window.size();

    connect(按钮_纸张设置, &QPushButton::clicked, this, [this] { 保存纸张(); });
    connect(按钮_二维码设置, &QPushButton::clicked, this, [this] { 保存二维码(); });
    connect(按钮_边距设置, &QPushButton::clicked, this, [this] { 保存边距(); });
    connect(按钮_默认打印机, &QPushButton::clicked, this, [this] { 保存打印机(); });
    connect(组合框_打印机, &QComboBox::activated, this, [this] { 保存打印机(); });
    connect(按钮_读取U8, &QPushButton::clicked, this, [this] { 读取(); });
    connect(按钮_打印, &QPushButton::clicked, this, [this] { 打印(); });
    connect(按钮_预览, &QPushButton::clicked, this, [this] { 预览(); });
    connect(按钮_全选, &QPushButton::clicked, this, [this] { tickAll(true); });
    connect(按钮_全不选, &QPushButton::clicked, this, [this] { tickAll(false); });
    connect(编辑框_筛选, &QLineEdit::textChanged, this, [this](const QString& text) { filterRows(text); });

    载入设置();
    设置表格();
}

void LabelWindow::载入设置()
{
    const LabelSettings s = LabelSettings::load(m_kind.section);
    编辑框_纸张长->setText(s.纸张长);
    编辑框_纸张宽->setText(s.纸张宽);
    编辑框_二维码长->setText(s.二维码长);
    编辑框_二维码宽->setText(s.二维码宽);
    组合框_打印机->setEditText(s.打印机);
    编辑框_上->setText(s.边距上);
    编辑框_下->setText(s.边距下);
    编辑框_左->setText(s.边距左);
    编辑框_右->setText(s.边距右);
}

void LabelWindow::设置表格()
{
    auto* grid = 高级表格_人员;
    grid->clear();
    grid->setRowCount(0);
    grid->setColumnCount(5);
    grid->setHorizontalHeaderLabels(QStringList{QStringLiteral("选择")} + m_kind.headers);
    const int widths[] = {40, 100, 100, 150, 100};
    for (int c = 0; c < 5; ++c)
        grid->setColumnWidth(c, widths[c]);
    grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->hide();
    grid->setIconSize(QSize(50, 50));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
}

int LabelWindow::dataRowCount() const
{
    return 高级表格_人员->rowCount();
}

bool LabelWindow::isTicked(int row) const
{
    const QTableWidgetItem* item = 高级表格_人员->item(row - 1, 0);
    return item && item->checkState() == Qt::Checked;
}

void LabelWindow::setTicked(int row, bool ticked)
{
    if (QTableWidgetItem* item = 高级表格_人员->item(row - 1, 0))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void LabelWindow::tickAll(bool ticked)
{
    for (int row = 1; row <= dataRowCount(); ++row)
        if (!高级表格_人员->isRowHidden(row - 1))
            setTicked(row, ticked);
}

void LabelWindow::filterRows(const QString& text)
{
    const QString wanted = text.trimmed();
    auto* grid = 高级表格_人员;
    for (int r = 0; r < grid->rowCount(); ++r) {
        bool shown = wanted.isEmpty();
        for (int c = 1; c <= 3 && !shown; ++c)
            if (const QTableWidgetItem* item = grid->item(r, c))
                shown = item->text().contains(wanted, Qt::CaseInsensitive);
        grid->setRowHidden(r, !shown);
    }
}

void LabelWindow::resizeEvent(QResizeEvent* event)
{
    // The grid takes whatever the window gains beyond its design size; the
    // column beside it moves along with its right edge.
    QDialog::resizeEvent(event);
    const int dx = std::max(0, width() - m_designSize.width());
    const int dy = std::max(0, height() - m_designSize.height());
    高级表格_人员->resize(m_designGrid.width() + dx, m_designGrid.height() + dy);
    for (const auto& [widget, at] : m_side)
        widget->move(at + QPoint(dx, 0));
}

QWidget* LabelWindow::messageOwner()
{
    return m_ownsMessages ? this : nullptr;
}

void LabelWindow::showSaveResult(bool written, const QString& error)
{
    if (!written)
        msgbox::show(error.isEmpty() ? QStringLiteral("设置未能保存到 set.ini，请检查该文件是否可写！！") : error,
                     msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption, messageOwner());
}

void LabelWindow::保存纸张()
{
    QString error = LabelSizes::paperError(编辑框_纸张长->text(), 编辑框_纸张宽->text());
    if (!error.isEmpty()) {
        msgbox::show(QStringLiteral("纸张尺寸未保存：") + error, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    }
    const bool written = LabelSettings::savePaper(m_kind.section, 编辑框_纸张长->text(), 编辑框_纸张宽->text(), &error);
    showSaveResult(written, error);
}

void LabelWindow::保存二维码()
{
    QString error = LabelSizes::qrError(编辑框_二维码长->text(), 编辑框_二维码宽->text(), 编辑框_纸张长->text(),
                                        编辑框_纸张宽->text());
    if (!error.isEmpty()) {
        msgbox::show(QStringLiteral("二维码尺寸未保存：") + error, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    }
    const bool written =
        LabelSettings::saveQrSize(m_kind.section, 编辑框_二维码长->text(), 编辑框_二维码宽->text(), &error);
    showSaveResult(written, error);
}

void LabelWindow::保存边距()
{
    QString error = LabelSizes::marginError(编辑框_上->text(), 编辑框_下->text(), 编辑框_左->text(), 编辑框_右->text());
    if (!error.isEmpty()) {
        msgbox::show(QStringLiteral("打印边距未保存：") + error, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    }
    const bool written = LabelSettings::saveMargins(m_kind.section, 编辑框_上->text(), 编辑框_下->text(),
                                                    编辑框_左->text(), 编辑框_右->text(), &error);
    showSaveResult(written, error);
}

void LabelWindow::保存打印机()
{
    const int index = 组合框_打印机->currentIndex();
    const QString printer = index >= 0 ? 组合框_打印机->itemText(index) : QString();
    QString error;
    const bool written = LabelSettings::savePrinter(m_kind.section, printer, &error);
    showSaveResult(written, error);
}

void LabelWindow::列出打印机()
{
    // The list is filled anew each time it opens; the name shown stays
    // shown, and stays selected when that printer is still installed.
    const QString shown = 组合框_打印机->currentText();
    组合框_打印机->clear();
    const QStringList names = LabelPrinter::systemPrinterNames();
    组合框_打印机->addItems(names);
    const int index = names.indexOf(shown);
    组合框_打印机->setCurrentIndex(index);
    if (index < 0)
        组合框_打印机->setEditText(shown);
}

void LabelWindow::读取()
{
    const WaitCursor busy;
    const std::optional<QList<LabelRow>> rows = labelreader::read(m_records, m_kind);
    if (!rows)
        return; // a failed or empty query leaves the grid as it was
    auto* grid = 高级表格_人员;
    grid->setUpdatesEnabled(false);
    grid->setRowCount(0);
    grid->setRowCount(int(rows->size()));
    for (int r = 0; r < rows->size(); ++r) {
        const LabelRow& row = rows->at(r);
        auto* tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        tick->setCheckState(Qt::Unchecked);
        grid->setItem(r, 0, tick);
        int column = 1;
        for (const QString& text : {row.code, row.name, row.group}) {
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            grid->setItem(r, column++, item);
        }
        auto* picture = new QTableWidgetItem;
        picture->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        picture->setData(Qt::DecorationRole, labelpicture::toImage(row.picture));
        grid->setItem(r, kPictureColumn, picture);
    }
    grid->setUpdatesEnabled(true);
    filterRows(编辑框_筛选->text());
}

QList<LabelJob> LabelWindow::tickedJobs() const
{
    QList<LabelJob> jobs;
    for (int row = 1; row <= dataRowCount(); ++row) {
        if (!isTicked(row))
            continue;
        const QTableWidgetItem* code = 高级表格_人员->item(row - 1, 1);
        const QTableWidgetItem* name = 高级表格_人员->item(row - 1, 2);
        jobs.append({code ? code->text() : QString(), name ? name->text() : QString()});
    }
    return jobs;
}

LabelSettings LabelWindow::currentBoxes() const
{
    LabelSettings boxes;
    boxes.纸张长 = 编辑框_纸张长->text();
    boxes.纸张宽 = 编辑框_纸张宽->text();
    boxes.二维码长 = 编辑框_二维码长->text();
    boxes.二维码宽 = 编辑框_二维码宽->text();
    boxes.边距上 = 编辑框_上->text();
    boxes.边距下 = 编辑框_下->text();
    boxes.边距左 = 编辑框_左->text();
    boxes.边距右 = 编辑框_右->text();
    return boxes;
}

void LabelWindow::打印()
{
    const QList<LabelJob> jobs = tickedJobs();
    const LabelSettings boxes = currentBoxes();
    const QString printer = LabelSettings::printer(m_kind.section);

    // A long run shows how far it is and can be stopped between labels.
    std::unique_ptr<QProgressDialog> progress;
    if (jobs.size() > kQuietRun) {
        progress = std::make_unique<QProgressDialog>(QStringLiteral("正在发送标签到打印机…"), QStringLiteral("取消"), 0,
                                                     int(jobs.size()), this);
        progress->setObjectName(QStringLiteral("进度_打印"));
        progress->setWindowTitle(windowTitle());
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
    }
    const LabelPrinter::Outcome outcome = [&] {
        const WaitCursor busy;
        return m_printer.print(printer, boxes, jobs, [&](int done, int total) {
            if (!progress)
                return true;
            progress->setValue(done);
            if (done >= total)
                progress->setLabelText(QStringLiteral("正在确认打印机已接收…"));
            QCoreApplication::processEvents();
            return !progress->wasCanceled();
        });
    }();
    progress.reset();
    switch (outcome.status) {
    case LabelPrinter::Status::NoPrinter:
        msgbox::show(LabelPrinter::kNoPrinterMessage, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        组合框_打印机->setFocus();
        return;
    case LabelPrinter::Status::PrinterNotInstalled:
        msgbox::show(LabelPrinter::kNoPrinterMessage, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    case LabelPrinter::Status::NothingTicked:
        msgbox::show(LabelPrinter::kNothingTickedMessage, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    case LabelPrinter::Status::BadSizes:
        msgbox::show(outcome.error + QStringLiteral("。未打印任何标签，请改正后再打印。"), msgbox::Icon::Error,
                     LabelPrinter::kNoPrinterCaption, messageOwner());
        return;
    case LabelPrinter::Status::Done:
        break;
    }
    if (outcome.failures.isEmpty())
        msgbox::show(LabelPrinter::sentMessage(outcome), msgbox::Icon::None, LabelPrinter::kSentCaption,
                     messageOwner());
    else
        msgbox::show(LabelPrinter::failureMessage(outcome), msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
}

void LabelWindow::预览()
{
    const QList<LabelJob> jobs = tickedJobs();
    if (jobs.isEmpty()) {
        msgbox::show(LabelPrinter::kNothingTickedMessage, msgbox::Icon::Error, LabelPrinter::kNoPrinterCaption,
                     messageOwner());
        return;
    }
    const QString printer = LabelSettings::printer(m_kind.section);
    const LabelPrinter::Preview preview = m_printer.preview(printer, currentBoxes(), jobs.first());
    if (!preview.page) {
        msgbox::show(preview.error + QStringLiteral("。请改正后再预览。"), msgbox::Icon::Error,
                     LabelPrinter::kNoPrinterCaption, messageOwner());
        return;
    }
    showLabelPreview(this, *preview.page, preview.usedPrinter ? printer : QString());
}
