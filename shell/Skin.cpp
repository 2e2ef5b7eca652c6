#include "shell/Skin.h"

#include <QApplication>
#include <QFile>

namespace skin {

void apply()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    QFile sheet(QStringLiteral(":/skin/quillmark.qss"));
    if (!sheet.open(QIODevice::ReadOnly))
        return;
    app->setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

} // namespace skin
