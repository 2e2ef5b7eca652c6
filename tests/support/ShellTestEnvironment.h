#pragma once
// What every shell test starts from: an empty data directory of its own
// and message boxes recorded instead of shown.
#include "app/AppPaths.h"
#include "app/OperationLog.h"
#include "ui/MessageBox.h"

#include <QList>
#include <QTemporaryDir>

class ShellTestEnvironment {
public:
    ShellTestEnvironment()
    {
        apppaths::setDataDirectory(dir.path());
        msgbox::setInterceptor([this](const msgbox::Message& m) {
            messages.append(m);
            return true;
        });
    }
    ~ShellTestEnvironment()
    {
        msgbox::setInterceptor({});
        OperationLog::instance().close();
        apppaths::setDataDirectory({});
    }
    ShellTestEnvironment(const ShellTestEnvironment&) = delete;
    ShellTestEnvironment& operator=(const ShellTestEnvironment&) = delete;

    QString filePath(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    QList<msgbox::Message> messages;
};
