#pragma once
// The system's modal message boxes. Every window shows its messages through
// these functions, so tests can intercept them and no test waits for a click.
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace msgbox {

enum class Icon { None, Question, Error, Information };

struct Message {
    QString text;
    QString caption;
    Icon icon = Icon::None;
    bool yesNo = false; // a question with Yes and No buttons
};

inline const QString kDefaultCaption = QStringLiteral("信息：");

// A modal box with an OK button.
void show(const QString& text, Icon icon = Icon::None, const QString& caption = kDefaultCaption,
          QWidget* owner = nullptr);

// A modal box with Yes and No buttons; true for Yes.
bool askYesNo(const QString& text, const QString& caption, Icon icon = Icon::Question, QWidget* owner = nullptr);

// A Yes/No question a barcode scanner's Enter cannot answer: No is the
// default and Escape's choice, and Enter presses no button. prepare gets
// the box before it opens (to catch the keys typed into it).
bool askYesNoSafely(const QString& text, const QString& caption, QWidget* owner,
                    const std::function<void(QMessageBox&)>& prepare = {});

// A box with an OK button whose keys a caller may catch: prepare gets the
// box before it opens.
void showWith(const QString& text, Icon icon, const QString& caption, QWidget* owner,
              const std::function<void(QMessageBox&)>& prepare);

// While an interceptor is set, no box is shown: the interceptor receives
// each message and its result answers Yes/No questions (ignored for OK
// boxes). Pass an empty function to show real boxes again.
using Interceptor = std::function<bool(const Message&)>;
void setInterceptor(Interceptor interceptor);

} // namespace msgbox
