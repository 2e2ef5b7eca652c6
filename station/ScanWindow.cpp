#include "station/ScanWindow.h"

#include "app/Clock.h"
#include "app/OperationLog.h"
#include "erp/ErpSession.h"
#include "erp_ui/SessionConnect.h"
#include "station/CachedCellDelegate.h"
#include "ui/Controls.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTableView>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

using controls::make;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1025;
constexpr int kGridCharacterPixels = 19;

const QString kFace = QStringLiteral("\"微软雅黑\", \"Microsoft YaHei\", \"Noto Sans CJK SC\"");
const QString kLightFace =
    QStringLiteral("\"微软雅黑 Light\", \"Microsoft YaHei Light\", \"微软雅黑\", \"Noto Sans CJK SC\"");

QString fontRule(int pixels, bool bold = false, const QString& face = kFace)
{
    return QStringLiteral("font-family: %1; font-size: %2px; font-weight: %3;")
        .arg(face)
        .arg(pixels)
        .arg(bold                     ? QStringLiteral("bold")
                 : face == kLightFace ? QStringLiteral("300")
                                      : QStringLiteral("normal"));
}

const QString kBoxed = QStringLiteral("border: 1px solid black; border-radius: 0; color: black; background: white;");
const QString kDisplay = QStringLiteral("border: none; color: blue; background: transparent;");

} // namespace

ScanWindow::ScanWindow(ErpSession& erp, PromptPlayer* player, QWidget* owner) : QDialog(owner), m_station(erp)
{
    setObjectName(QStringLiteral("窗口_在线扫码出库"));
    setWindowTitle(QStringLiteral("在线扫码出库"));
    setModal(true);
    m_station.setPlayer(player);
    buildControls();
    applyStyle();

    connect(&m_station, &ScanStation::fieldsChanged, this, &ScanWindow::showFields);
    connect(&m_station, &ScanStation::scanFieldChanged, this, &ScanWindow::showScanText);
    connect(&m_station, &ScanStation::promptChanged, this, &ScanWindow::showPrompt);
    connect(&m_station, &ScanStation::busyChanged, this, &ScanWindow::showBusy);
    connect(&m_station, &ScanStation::scanFocusRequested, this, &ScanWindow::focusScanField);
    // Shown once the current handler has returned, so the box never opens
    // inside the editor's or the station's own call.
    connect(&m_station, &ScanStation::questionAsked, this, &ScanWindow::askQuestion, Qt::QueuedConnection);
    connect(&m_station, &ScanStation::keywordFocusRequested, this, [this] { 编辑框_查询库存关键字->setFocus(); });
    connect(&m_station, &ScanStation::progressChanged, this, [this](int value, int maximum) {
        进度条_查询进度->setMaximum(maximum);
        进度条_查询进度->setValue(value);
    });
    connect(时钟1, &QTimer::timeout, this, &ScanWindow::tick);
    connect(按钮_查询, &QPushButton::clicked, this, &ScanWindow::startSearch);
    m_voucher = new StationVoucher(m_station, this);
    connect(m_voucher, &StationVoucher::writingChanged, this,
            [this](bool writing) { 按钮_生成材料出库单->setEnabled(!writing && !m_station.isBusy()); });
    connect(按钮_生成材料出库单, &QPushButton::clicked, this, &ScanWindow::生成材料出库单);
    // The scanner's #QM-WRITE and the F12 key press the same button.
    // A #QM-WRITE is handled inside its scan: a box it needs opens after it.
    connect(&m_station, &ScanStation::writeRequested, this, [this] { showNotice(m_voucher->press().notice, true); });
    auto* f12 = new QShortcut(QKeySequence(Qt::Key_F12), this);
    connect(f12, &QShortcut::activated, this, &ScanWindow::生成材料出库单);
    connect(&m_station, &ScanStation::writeArmedChanged, this, &ScanWindow::showWriteArmed);
    connect(&m_station, &ScanStation::linesChanged, this, &ScanWindow::showSummary);
    // #QM-CANCEL closes the open box; a question is answered No.
    connect(&m_station, &ScanStation::boxDismissed, this, [this] {
        if (auto* box = qobject_cast<QDialog*>(m_question.data()))
            box->done(QMessageBox::No);
    });
    connect(按钮_更新最大单据号, &QPushButton::clicked, this, &ScanWindow::更新最大单据号);
    connect(高级表格_材料出库单明细, &QTableView::doubleClicked, this, &ScanWindow::detailDoubleClicked);
    // The edit is checked once the editor has closed, so a question box
    // cannot pull the focus from an editor that is still open.
    connect(&m_station.detailGrid(), &StationGrid::cellEdited, this, &ScanWindow::detailCellEdited,
            Qt::QueuedConnection);
    connect(高级表格_材料出库单明细, &QWidget::customContextMenuRequested, this, &ScanWindow::showDetailMenu);

    // Every control but the two text fields (and the popup menu, which
    // takes its own keys) hands a scanner's keys to the scan field. No
    // button takes Enter for itself: a scan's Enter presses nothing.
    for (QWidget* c : findChildren<QWidget*>()) {
        if (c == 编辑框_条码 || c == 编辑框_查询库存关键字 || qobject_cast<QMenu*>(c)
            || qobject_cast<QMenu*>(c->window()))
            continue;
        if (auto* button = qobject_cast<QPushButton*>(c))
            button->setAutoDefault(false);
        c->installEventFilter(this);
        m_keyRedirected << c;
    }
    installEventFilter(this);
    m_keyRedirected << this;

    onCreated();
    showSummary();
}

void ScanWindow::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The controls keep their places on a canvas of the design size; a
    // smaller screen scrolls it instead of cutting anything off.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("滚动区"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("画布"));
    m_content->setMinimumSize(1912, 992);
    m_scroll->setWidget(m_content);

    auto* header = make<QGroupBox>(m_content, QStringLiteral("分组框_表头"), 0, 0, 304, 992);
    make<QLabel>(header, QStringLiteral("标签_仓库"), 8, 19, 88, 30, QStringLiteral("出库仓库"));
    auto* warehouse = make<QLineEdit>(header, QStringLiteral("编辑框_出库仓库"), 104, 19, 192, 30);
    make<QLabel>(header, QStringLiteral("标签_经手人"), 8, 72, 88, 30, QStringLiteral("经手人"));
    auto* handler = make<QLineEdit>(header, QStringLiteral("编辑框_经手人"), 104, 72, 192, 30);
    make<QLabel>(header, QStringLiteral("标签_出库类别"), 8, 126, 88, 30, QStringLiteral("出库类别"));
    auto* category = make<QLineEdit>(header, QStringLiteral("编辑框_出库类别"), 104, 126, 192, 30);
    透明标签_时间 =
        make<QLabel>(header, QStringLiteral("透明标签_时间"), 8, 176, 288, 48, QStringLiteral("2020-01-01 12:21:12"));
    时钟1 = new QTimer(header);
    时钟1->setObjectName(QStringLiteral("时钟1"));
    时钟1->setInterval(1000);
    按钮_生成材料出库单 = make<QPushButton>(header, QStringLiteral("按钮_生成材料出库单"), 16, 272, 272, 56,
                                            QStringLiteral("生成材料出库单"));
    按钮_更新最大单据号 = make<QPushButton>(header, QStringLiteral("按钮_更新最大单据号"), 16, 352, 272, 56,
                                            QStringLiteral("更新最大单据号"));
    // How many lines the grid holds and their total quantity, after every
    // change.
    标签_合计 = make<QLabel>(header, QStringLiteral("标签_合计"), 16, 432, 272, 96);
    标签_合计->setWordWrap(true);
    // The header values come from the start window's saved choice; they are
    // shown, not edited here.
    for (QLineEdit* e : {warehouse, handler, category})
        e->setReadOnly(true);
    m_fieldBoxes << qMakePair(warehouse, &StationFields::出库仓库) << qMakePair(handler, &StationFields::经手人)
                 << qMakePair(category, &StationFields::出库类别);

    auto* body = make<QGroupBox>(m_content, QStringLiteral("分组框_表体"), 312, 0, 1600, 992);
    auto* scan = make<QGroupBox>(body, QStringLiteral("分组框5"), 8, 8, 472, 56, QStringLiteral("出库扫码"));
    make<QLabel>(scan, QStringLiteral("标签_条码"), 8, 16, 88, 30, QStringLiteral("条 码"));
    编辑框_条码 = make<QLineEdit>(scan, QStringLiteral("编辑框_条码"), 120, 16, 344, 30);
    auto* query = make<QGroupBox>(body, QStringLiteral("分组框6"), 488, 8, 1096, 56, QStringLiteral("查询库存"));
    make<QLabel>(query, QStringLiteral("标签_关键字"), 8, 16, 88, 30, QStringLiteral("关键字"));
    编辑框_查询库存关键字 = make<QLineEdit>(query, QStringLiteral("编辑框_查询库存关键字"), 120, 16, 344, 30);
    按钮_查询 = make<QPushButton>(query, QStringLiteral("按钮_查询"), 472, 16, 80, 32, QStringLiteral("查 询"));
    进度条_查询进度 = make<QProgressBar>(query, QStringLiteral("进度条_查询进度"), 576, 19, 504, 24);
    进度条_查询进度->setValue(0);

    auto* inventory = make<QGroupBox>(body, QStringLiteral("分组框2"), 6, 69, 472, 452, QStringLiteral("存货"));
    auto* collector = make<QGroupBox>(body, QStringLiteral("分组框3"), 488, 69, 344, 203, QStringLiteral("领料员"));
    auto* device = make<QGroupBox>(body, QStringLiteral("分组框4"), 488, 289, 344, 229, QStringLiteral("设备"));
    auto* info = make<QGroupBox>(body, QStringLiteral("分组框1"), 848, 69, 744, 452, QStringLiteral("信息"));
    编辑框_提示 = make<QPlainTextEdit>(info, QStringLiteral("编辑框_提示"), 6, 29, 730, 414);
    编辑框_提示->setReadOnly(true);
    编辑框_提示->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    struct DisplayPanel {
        QGroupBox* panel;
        const char* suffix;
        const char* caption;
        int top;
        QString StationFields::*field;
    };
    const DisplayPanel displays[] = {
        {inventory, "存货编码", "存 货 编 码", 39, &StationFields::存货编码},
        {inventory, "存货名称", "存 货 名 称", 90, &StationFields::存货名称},
        {inventory, "规格型号", "规 格 型 号", 141, &StationFields::规格型号},
        {inventory, "单位", "单 位", 192, &StationFields::单位},
        {inventory, "数量", "数 量", 243, &StationFields::数量},
        {inventory, "现存量", "现 存 量", 294, &StationFields::现存量},
        {inventory, "货位编码", "货 位 编 码", 345, &StationFields::货位编码},
        {inventory, "货位名称", "货 位 名 称", 399, &StationFields::货位名称},
        {collector, "领料人", "领 料 人", 34, &StationFields::领料人},
        {collector, "领料部门", "领 料 部 门", 87, &StationFields::领料部门},
        {collector, "领料线别", "领 料 线 别", 144, &StationFields::领料线别},
        {device, "设备", "设 备 码", 40, &StationFields::设备},
        {device, "设备名称", "设 备 名 称", 96, &StationFields::设备名称},
        {device, "线别", "线 别", 144, &StationFields::线别},
    };
    for (const DisplayPanel& d : displays) {
        const QString suffix = QString::fromUtf8(d.suffix);
        make<QLabel>(d.panel, QStringLiteral("标签_") + suffix, 8, d.top, 112, 30, QString::fromUtf8(d.caption));
        const bool wide = d.panel == inventory;
        auto* box =
            make<QLineEdit>(d.panel, QStringLiteral("编辑框_") + suffix, wide ? 140 : 135, d.top, wide ? 317 : 201, 30);
        box->setReadOnly(true);
        box->setFrame(false);
        m_fieldBoxes << qMakePair(box, d.field);
        if (suffix == QStringLiteral("现存量"))
            编辑框_现存量 = box;
    }

    选择夹1 = make<QTabWidget>(body, QStringLiteral("选择夹1"), 6, 521, 1584, 465);
    auto* detailPage = new QWidget;
    auto* stockPage = new QWidget;
    选择夹1->addTab(detailPage, QStringLiteral("出库明细"));
    选择夹1->addTab(stockPage, QStringLiteral("库存明细"));
    // The tab pages start below the tab bar; the grids sit at their design
    // place relative to the tab control.
    高级表格_材料出库单明细 = make<QTableView>(选择夹1, QStringLiteral("高级表格_材料出库单明细"), 5, 25, 1570, 430);
    高级表格_库存查询 = make<QTableView>(选择夹1, QStringLiteral("高级表格_库存查询"), 5, 25, 1570, 430);
    高级表格_库存查询->hide();
    connect(选择夹1, &QTabWidget::currentChanged, this, [this](int tab) {
        高级表格_材料出库单明细->setVisible(tab == 0);
        高级表格_库存查询->setVisible(tab == 1);
    });

    const auto setUpGrid = [](QTableView* view, StationGrid* model) {
        view->setModel(model);
        // A scan moves every visible row down: the rows already drawn are
        // copied, only the new one is drawn. The cells carry the grid lines.
        view->setItemDelegate(new CachedCellDelegate(view));
        view->setShowGrid(false);
        view->verticalHeader()->hide();
        // Every row 26 pixels high, set once for the whole view.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(26);
        view->verticalHeader()->setMinimumSectionSize(26);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        // The narrow columns keep their 60 pixels with the large caption font.
        view->horizontalHeader()->setMinimumSectionSize(20);
        view->horizontalHeader()->setHighlightSections(false);
        view->setWordWrap(false);
        view->setSelectionMode(QAbstractItemView::ContiguousSelection);
        QObject::connect(model, &QAbstractItemModel::modelReset, view, [view, model] {
            const QVector<int> widths = model->columnWidths();
            for (int c = 0; c < widths.size(); ++c)
                view->setColumnWidth(c, widths[c]);
        });
    };
    setUpGrid(高级表格_材料出库单明细, &m_station.detailGrid());
    setUpGrid(高级表格_库存查询, &m_station.stockGrid());
    高级表格_材料出库单明细->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                             | QAbstractItemView::AnyKeyPressed);
    高级表格_库存查询->setEditTriggers(QAbstractItemView::NoEditTriggers);
    高级表格_材料出库单明细->setContextMenuPolicy(Qt::CustomContextMenu);

    出库明细右键 = new QMenu(this);
    出库明细右键->setObjectName(QStringLiteral("出库明细右键"));
    出库明细右键->addAction(QStringLiteral("删除当前行"), this, [this] {
        m_station.deleteCurrentLine(cursorRow());
        focusScanField();
    });
    出库明细右键->addSeparator();
    出库明细右键->addAction(QStringLiteral("删除选中行"), this, [this] {
        int first = cursorRow();
        int last = first;
        const QModelIndexList selected = 高级表格_材料出库单明细->selectionModel()->selectedIndexes();
        if (!selected.isEmpty()) {
            first = last = StationGrid::systemRow(selected.first());
            for (const QModelIndex& i : selected) {
                first = std::min(first, StationGrid::systemRow(i));
                last = std::max(last, StationGrid::systemRow(i));
            }
        }
        m_station.deleteSelectedLines(first, last);
        focusScanField();
    });
    出库明细右键->addSeparator();
    // Asks first; the answer comes back through the question box.
    出库明细右键->addAction(QStringLiteral("删除所有行"), this, [this] {
        m_station.deleteAllLines();
        focusScanField();
    });

    编辑框_条码->installEventFilter(this);
    编辑框_查询库存关键字->installEventFilter(this);
}

void ScanWindow::applyStyle()
{
    // One style sheet for the whole window: the faces and sizes of every
    // control are set here once, by name, above the program's skin.
    QStringList rules;
    const auto rule = [&rules](const QString& selector, const QString& body) {
        rules << selector + QStringLiteral(" { ") + body + QStringLiteral(" }");
    };
    for (const char* name : {"标签_仓库", "标签_经手人", "标签_出库类别", "按钮_生成材料出库单", "按钮_更新最大单据号"})
        rule(QStringLiteral("#") + QString::fromUtf8(name), fontRule(16));
    for (const char* name : {"编辑框_出库仓库", "编辑框_经手人", "编辑框_出库类别"})
        rule(QStringLiteral("#") + QString::fromUtf8(name), fontRule(16) + kBoxed);
    rule(QStringLiteral("#编辑框_条码, #编辑框_查询库存关键字"), fontRule(21) + kBoxed);
    rule(QStringLiteral("#分组框2 QLabel, #分组框3 QLabel, #分组框4 QLabel, #标签_条码, #标签_关键字"), fontRule(21));
    rule(QStringLiteral("#透明标签_时间"), fontRule(24) + QStringLiteral("background: transparent;"));
    rule(QStringLiteral("#标签_合计"), fontRule(21) + QStringLiteral("color: blue;"));
    rule(QStringLiteral("#分组框2, #分组框3, #分组框4, #分组框1"), fontRule(19));
    rule(QStringLiteral("#分组框5, #分组框6"), fontRule(14, true));
    rule(QStringLiteral("#选择夹1 QTabBar"), fontRule(12, true));
    rule(QStringLiteral("#分组框2 QLineEdit"), fontRule(20, false, kLightFace) + kDisplay);
    rule(QStringLiteral("#分组框3 QLineEdit, #分组框4 QLineEdit"), fontRule(21, false, kLightFace) + kDisplay);
    rule(QStringLiteral("#编辑框_现存量[overdrawn=\"true\"]"), QStringLiteral("color: red;"));
    rule(QStringLiteral("#编辑框_出库仓库[faulty=\"true\"], #编辑框_经手人[faulty=\"true\"], "
                        "#编辑框_出库类别[faulty=\"true\"]"),
         QStringLiteral("color: red; border: 1px solid red;"));
    rule(QStringLiteral("#编辑框_提示"), fontRule(21, false, kLightFace) + kBoxed);
    // The grids' font height of 25 is the height of a text line, which fits
    // the 26-pixel rows; for this face that is a 19-pixel character.
    rule(QStringLiteral("#高级表格_材料出库单明细, #高级表格_库存查询, #高级表格_材料出库单明细 QHeaderView, "
                        "#高级表格_库存查询 QHeaderView"),
         fontRule(kGridCharacterPixels));
    setStyleSheet(rules.join(u'\n'));
}

void ScanWindow::onCreated()
{
    move(2, 2);
    resize(kWidth, kHeight);
    透明标签_时间->setText(QStringLiteral("2020-01-01 12:21:12"));
    时钟1->start();
    m_station.setUp();
}

void ScanWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    fitScreen();
    // Some window systems tell the frame's size only once it is shown.
    QTimer::singleShot(0, this, &ScanWindow::fitScreen);
}

void ScanWindow::fitScreen()
{
    // On a screen smaller than the design the window, title bar and frame
    // included, fits the screen's free area (above the task bar) and its
    // canvas scrolls.
    QScreen* s = screen();
    if (!s || isMaximized() || isFullScreen())
        return;
    const QRect available = s->availableGeometry();
    const QRect frame = frameGeometry();
    if (available.contains(frame))
        return;
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    const QSize room = available.size().shrunkBy(margins);
    resize(std::min(width(), room.width()), std::min(height(), room.height()));
    move(available.topLeft());
}

void ScanWindow::done(int result)
{
    // A search that is still filling its grid stops; the window closes.
    // Lines that stay staged are named, so the clerk knows they are kept.
    const QString staged = m_station.leave();
    if (!staged.isEmpty())
        msgbox::show(staged, msgbox::Icon::Information, msgbox::kDefaultCaption, this);
    QDialog::done(result);
}

void ScanWindow::tick()
{
    透明标签_时间->setText(日期时间文本(appclock::now()));
}

namespace {

// Marks a box for the style sheet's red rules, with the reason as tooltip.
void markBox(QLineEdit* box, const char* property, bool marked, const QString& why)
{
    if (box->property(property).toBool() != marked) {
        box->setProperty(property, marked);
        box->style()->unpolish(box);
        box->style()->polish(box);
    }
    box->setToolTip(why);
}

} // namespace

void ScanWindow::showFields()
{
    const StationFields& f = m_station.fields();
    for (const auto& [box, field] : m_fieldBoxes) {
        if (box->text() != f.*field)
            box->setText(f.*field);
    }
    markBox(编辑框_现存量, "overdrawn", f.现存量不足, f.现存量提示);
    // A header that does not check out against the ERP is red, each box
    // with its own reason.
    const headercheck::Result& header = f.表头核对;
    for (const auto& [name, why] :
         {std::pair{"编辑框_出库仓库", &header.出库仓库}, std::pair{"编辑框_经手人", &header.经手人},
          std::pair{"编辑框_出库类别", &header.出库类别}}) {
        if (auto* box = findChild<QLineEdit*>(QString::fromUtf8(name)))
            markBox(box, "faulty", !why->isEmpty(), *why);
    }
}

void ScanWindow::showScanText(const QString& text)
{
    if (编辑框_条码->text() != text)
        编辑框_条码->setText(text);
}

void ScanWindow::showPrompt(const QString& prepended)
{
    // Messages arrive in front of the history; only the new one is laid
    // out, so a long history does not slow down every scan.
    const auto shown = [](QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); };
    if (prepended.isEmpty()) {
        编辑框_提示->setPlainText(shown(m_station.promptText()));
    } else {
        QTextCursor cursor(编辑框_提示->document());
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(shown(prepended));
    }
    编辑框_提示->verticalScrollBar()->setValue(0);
}

void ScanWindow::showBusy(bool busy)
{
    // While a search fills its grid the voucher buttons and a second search
    // wait for it.
    for (QPushButton* b : {按钮_生成材料出库单, 按钮_更新最大单据号, 按钮_查询})
        b->setEnabled(!busy);
}

void ScanWindow::showSummary()
{
    const ScanStation::LineSummary summary = m_station.lineSummary();
    标签_合计->setText(QStringLiteral("出库明细 ") + QString::number(summary.lines) + QStringLiteral(" 行\n合计数量 ")
                       + summary.total);
}

void ScanWindow::showWriteArmed(bool armed)
{
    // The button says that its next press writes.
    按钮_生成材料出库单->setText(armed ? QStringLiteral("确认生成材料出库单") : QStringLiteral("生成材料出库单"));
}

void ScanWindow::startSearch()
{
    m_station.search(编辑框_查询库存关键字->text());
    // The scanner's next code goes to the scan field, not into the keyword.
    focusScanField();
}

void ScanWindow::focusScanField()
{
    // An open question box keeps the keyboard until it is answered.
    if (m_question)
        return;
    编辑框_条码->setFocus();
}

void ScanWindow::askQuestion(const QString& text, const QString& caption)
{
    // No is the default and Enter presses no button: a scanner's Enter
    // must never answer. The codes the scanner types while the box is open
    // are collected and handed to the station, which keeps them until the
    // answer. A question answered before its box could open (#QM-CANCEL
    // right after it) is not asked.
    if (!m_station.isAsking())
        return;
    m_questionScan.clear();
    const bool yes = msgbox::askYesNoSafely(text, caption, this, [this](QMessageBox& box) { catchBoxKeys(box); });
    m_question = nullptr;
    m_station.answerQuestion(yes);
    activateWindow();
    focusScanField();
}

void ScanWindow::catchBoxKeys(QMessageBox& box)
{
    m_question = &box;
    box.installEventFilter(this);
    for (QAbstractButton* b : box.buttons())
        b->installEventFilter(this);
    emit questionShown(&box);
}

void ScanWindow::showNotice(const StationVoucher::Notice& notice, bool later)
{
    if (notice.text.isEmpty())
        return;
    if (later) {
        // Once the current handler (a scan) has returned.
        QTimer::singleShot(0, this, [this, notice] { showNotice(notice, false); });
        return;
    }
    // The scans typed while the box is open wait for it.
    m_questionScan.clear();
    m_station.setBoxOpen(true);
    msgbox::showWith(notice.text, notice.icon, msgbox::kDefaultCaption, this,
                     [this](QMessageBox& box) { catchBoxKeys(box); });
    m_question = nullptr;
    activateWindow();
    focusScanField();
    m_station.setBoxOpen(false);
}

bool ScanWindow::questionKey(QKeyEvent* key)
{
    if (key->key() == Qt::Key_Escape)
        return false; // the box's own: No
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab) {
        // Enter alone is the clerk's: it closes a message box (a question
        // has no button Enter presses). After a code it ends the scan.
        if (m_questionScan.isEmpty() && key->key() != Qt::Key_Tab)
            return false;
        m_station.handleScan(m_questionScan);
        m_questionScan.clear();
    } else if (key->text() != QStringLiteral("\n")) {
        m_questionScan += key->text();
    }
    return true;
}

bool ScanWindow::scanKey(QKeyEvent* key)
{
    // Every key typed into the scan field reopens a closed ERP connection.
    if (!m_station.erp().isOpen())
        erpui::connectSession(m_station.erp(), this);
    // Escape in the scan field does not close the station: a scanner or a
    // stray key would end it at once.
    if (key->key() == Qt::Key_Escape)
        return true;
    // A scan shows the detail tab, where its line appears.
    if (选择夹1->currentIndex() != 0)
        选择夹1->setCurrentIndex(0);
    // A scanner that ends its codes with CR LF: the LF is not a second,
    // empty scan.
    if (key->text() == QStringLiteral("\n"))
        return true;
    // Enter ends a scan; so does Tab, for scanners set up to send it, which
    // would otherwise carry the focus away from the scan field.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab) {
        m_station.handleScan(编辑框_条码->text());
        return true;
    }
    return false;
}

bool ScanWindow::strayKey(QWidget* watched, QKeyEvent* key)
{
    // Only the control the key was typed into: a key an open editor did
    // not take travels up to its parents and is not typed a second time.
    if (watched != QApplication::focusWidget() && watched != this)
        return false;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    // Escape would close the station at once.
    if (key->key() == Qt::Key_Escape)
        return true;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint() && modifiers == Qt::NoModifier;
    if (!typed && !enter)
        return false; // arrows, page keys, shortcuts: the control's own
    // The quantity cell the clerk unlocked takes the keys typed into it.
    if (watched == 高级表格_材料出库单明细) {
        const QModelIndex current = 高级表格_材料出库单明细->currentIndex();
        if (current.isValid() && m_station.detailGrid().isEditable(StationGrid::systemRow(current), current.column()))
            return false;
    }
    // Space clicks the button it is on; Enter presses only the voucher
    // button, whose first press writes nothing.
    if (qobject_cast<QPushButton*>(watched) && key->key() == Qt::Key_Space)
        return false;
    if (watched == 按钮_生成材料出库单 && enter) {
        生成材料出库单();
        return true;
    }
    focusScanField();
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(), key->count());
    QApplication::sendEvent(编辑框_条码, &copy);
    return true;
}

bool ScanWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (m_question && event->type() == QEvent::KeyPress
        && (watched == m_question || m_question->isAncestorOf(qobject_cast<QWidget*>(watched))))
        return questionKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::KeyPress && !m_question && m_keyRedirected.contains(qobject_cast<QWidget*>(watched)))
        return strayKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    if (watched == 编辑框_条码) {
        if (event->type() == QEvent::KeyPress)
            return scanKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusIn) {
            编辑框_条码->clear();
            // The clerk's click (or Tab) shows the detail tab; the focus the
            // window gives back after a search leaves its list in view.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if ((reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
                && 选择夹1->currentIndex() != 0)
                选择夹1->setCurrentIndex(0);
        }
    } else if (watched == 编辑框_查询库存关键字) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (ScanStation::keywordLongEnough(编辑框_查询库存关键字->text()))
                    startSearch();
                else
                    // Said in the prompt field; the clerk goes on typing.
                    m_station.search(编辑框_查询库存关键字->text());
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            编辑框_查询库存关键字->clear();
            if (选择夹1->currentIndex() != 1)
                选择夹1->setCurrentIndex(1);
        }
    }
    return QDialog::eventFilter(watched, event);
}

int ScanWindow::cursorRow() const
{
    const QModelIndex current = 高级表格_材料出库单明细->currentIndex();
    return current.isValid() ? StationGrid::systemRow(current) : -1;
}

void ScanWindow::detailDoubleClicked(const QModelIndex& index)
{
    if (index.column() != detailcolumn::Quantity)
        return;
    m_station.unlockQuantityCell(StationGrid::systemRow(index), index.column());
    if (m_station.detailGrid().isEditable(StationGrid::systemRow(index), index.column()))
        高级表格_材料出库单明细->edit(index);
}

void ScanWindow::detailCellEdited(const QPersistentModelIndex& index, const QString& oldText)
{
    if (!index.isValid())
        return;
    if (index.column() == detailcolumn::Quantity)
        m_station.quantityEdited(StationGrid::systemRow(index), oldText);
    focusScanField();
}

void ScanWindow::showDetailMenu(const QPoint& pos)
{
    出库明细右键->popup(高级表格_材料出库单明细->viewport()->mapToGlobal(pos));
}

void ScanWindow::生成材料出库单()
{
    showNotice(m_voucher->press().notice);
    focusScanField();
}

void ScanWindow::更新最大单据号()
{
    showNotice(m_voucher->updateCounters());
    focusScanField();
}
