#include "VoucherButtons.h"

#include "ErpSession.h"
#include "IdentityCounters.h"
#include "MessageBox.h"
#include "PromptPlayer.h"
#include "VoucherView.h"
#include "VoucherWriter.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

// A click queued while the window was blocked by the writing would reach
// the button as soon as it is enabled again and report an empty grid over
// the voucher's number; the button therefore stays disabled a moment longer.
constexpr int kReenableDelayMs = 400;

// The writer's requests carried out on the window's controls; it lives as a
// child of the window and goes with it.
class WindowVoucherView : public QObject, public VoucherView {
public:
    WindowVoucherView(QWidget* window, QAbstractButton* button, QWidget* prompt, QLineEdit* scan,
                      PromptPlayer& player, std::function<void()> clearGrid)
        : QObject(window)
        , m_window(window)
        , m_button(button)
        , m_prompt(prompt)
        , m_scan(scan)
        , m_player(player)
        , m_clearGrid(std::move(clearGrid))
    {
    }

    void setWriting(bool writing) override
    {
        if (writing) {
            m_button->setEnabled(false);
            return;
        }
        QTimer::singleShot(kReenableDelayMs, m_button, [button = QPointer<QAbstractButton>(m_button)] {
            if (button)
                button->setEnabled(true);
        });
    }
    void showPrompt(const QString& text) override
    {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(m_prompt))
            plain->setPlainText(text);
        else if (auto* rich = qobject_cast<QTextEdit*>(m_prompt))
            rich->setPlainText(text);
        // The window handles no input while the voucher is written; painting
        // now lets the clerk see that it is at work.
        m_prompt->repaint();
    }
    void playPrompt(const QString& fileName) override { m_player.play(fileName); }
    void clearLines() override
    {
        if (m_clearGrid)
            m_clearGrid();
    }
    void resetScanField() override
    {
        m_scan->clear();
        m_scan->setFocus();
    }
    void showMessage(const QString& text) override
    {
        msgbox::show(text, msgbox::Icon::None, msgbox::kDefaultCaption, m_window);
    }

    std::unique_ptr<VoucherWriter> writer;

private:
    QWidget* m_window;
    QAbstractButton* m_button;
    QWidget* m_prompt;
    QLineEdit* m_scan;
    PromptPlayer& m_player;
    std::function<void()> m_clearGrid;
};

} // namespace

bool connectVoucherButtons(QWidget* window, ErpSession& session, PromptPlayer& player,
                           std::function<QVector<staging::Line>()> gridLines, std::function<void()> clearGrid)
{
    auto* generate = window->findChild<QAbstractButton*>(QStringLiteral("按钮_生成材料出库单"));
    auto* counters = window->findChild<QAbstractButton*>(QStringLiteral("按钮_更新最大单据号"));
    auto* prompt = window->findChild<QWidget*>(QStringLiteral("编辑框_提示"));
    auto* scan = window->findChild<QLineEdit*>(QStringLiteral("编辑框_条码"));
    auto* warehouse = window->findChild<QLineEdit*>(QStringLiteral("编辑框_出库仓库"));
    auto* handler = window->findChild<QLineEdit*>(QStringLiteral("编辑框_经手人"));
    auto* category = window->findChild<QLineEdit*>(QStringLiteral("编辑框_出库类别"));
    if (!generate || !counters || !scan || !warehouse || !handler || !category
        || !(qobject_cast<QPlainTextEdit*>(prompt) || qobject_cast<QTextEdit*>(prompt)) || !gridLines)
        return false;

    auto* view = new WindowVoucherView(window, generate, prompt, scan, player, std::move(clearGrid));
    view->writer = std::make_unique<VoucherWriter>(
        VoucherErp{session.数据库连接, session.记录集1, session.记录集3, session.账套号,
                   [&session, window] { session.连接账套(window); }},
        *view);
    QObject::connect(generate, &QAbstractButton::clicked, view,
                     [view, warehouse, handler, category, lines = std::move(gridLines)] {
                         view->writer->click({warehouse->text(), handler->text(), category->text()}, lines());
                     });
    QObject::connect(counters, &QAbstractButton::clicked, view, [&session, window] {
        identitycounters::updateOnRequest(session.记录集1, session.账套号, window);
    });
    return true;
}
