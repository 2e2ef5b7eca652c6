#pragma once
// How the program answers a failure the QR module reports: the module's
// text in an error box titled "程序运行异常提示", then the program ends
// with exit code 0.
//
// The module's report does not return, so the handler leaves the failed
// call by throwing ProgramEnds. The program's Application catches it where
// Qt hands an event to a window and asks its event loop to end; main
// catches it for a failure before the loop runs. Either way main returns
// and its objects (windows, the ERP connection, the instance lock) are
// destroyed in order, which std::exit would have skipped.
#include <QApplication>

namespace qrfatal {

struct ProgramEnds { };

// Installs the handler.
void install();

// The program's QApplication: a QR failure inside an event ends the event
// loop with exit code 0 instead of leaving through Qt's code.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace qrfatal
