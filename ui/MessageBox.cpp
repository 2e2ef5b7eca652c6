#include "ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace msgbox {
namespace {

Interceptor& interceptor()
{
    static Interceptor current;
    return current;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton run(const Message& m, QMessageBox::StandardButtons buttons, QWidget* owner)
{
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(toQt(m.icon), m.caption, m.text, buttons, owner);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void show(const QString& text, Icon icon, const QString& caption, QWidget* owner)
{
    const Message m{text, caption, icon, false};
    if (interceptor()) {
        interceptor()(m);
        return;
    }
    run(m, QMessageBox::Ok, owner);
}

void showWith(const QString& text, Icon icon, const QString& caption, QWidget* owner,
              const std::function<void(QMessageBox&)>& prepare)
{
    const Message m{text, caption, icon, false};
    if (interceptor()) {
        interceptor()(m);
        return;
    }
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, owner);
    if (prepare)
        prepare(box);
    box.exec();
}

bool askYesNo(const QString& text, const QString& caption, Icon icon, QWidget* owner)
{
    const Message m{text, caption, icon, true};
    if (interceptor())
        return interceptor()(m);
    return run(m, QMessageBox::Yes | QMessageBox::No, owner) == QMessageBox::Yes;
}

bool askYesNoSafely(const QString& text, const QString& caption, QWidget* owner,
                    const std::function<void(QMessageBox&)>& prepare)
{
    const Message m{text, caption, Icon::Question, true};
    if (interceptor())
        return interceptor()(m);
    if (!owner)
        owner = QApplication::activeWindow();
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    for (QAbstractButton* b : box.buttons()) {
        if (auto* push = qobject_cast<QPushButton*>(b)) {
            push->setAutoDefault(false);
            push->setDefault(false);
        }
    }
    if (prepare)
        prepare(box);
    return box.exec() == QMessageBox::Yes;
}

void setInterceptor(Interceptor i)
{
    interceptor() = std::move(i);
}

} // namespace msgbox
