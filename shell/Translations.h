#pragma once
// Qt's own texts in Chinese: the buttons of every message box (是/否/确定/
// 取消), the date picker's calendar, the progress dialog's 取消. Without them
// the clerk meets English words in an otherwise Chinese program.
#include <QString>

class QCoreApplication;

namespace translations {

// Installs Qt's Chinese translations on the application and makes Chinese
// (China) the default locale, so that dates and the calendar are Chinese.
// The catalogue is looked for beside the program first (translations/, as
// the Windows package ships it), then where Qt keeps its own. Returns the
// file loaded, "" when none was found (the texts then stay English).
QString installChinese(QCoreApplication& app);

} // namespace translations
