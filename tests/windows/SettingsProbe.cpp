// Writes the same set.ini in the folder it is given, through the program's
// own settings code: built for Linux and for Windows, so that a test can
// compare the two files byte for byte. One value holds a character GBK
// cannot hold and is refused; its refusal message goes to refusal.txt (in
// UTF-8) and the log line with it to the operation log, both compared too.
#include "app/AppPaths.h"
#include "app/OperationLog.h"
#include "app/PasswordCipher.h"
#include "app/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quillmark_settings_probe <folder>\n");
        return 2;
    }
    apppaths::setDataDirectory(args.at(1));
    QDir().mkpath(apppaths::logDirectory());
    QFile log(apppaths::logFile());
    log.open(QIODevice::WriteOnly); // the program makes the log empty at first start
    log.close();
    OperationLog::instance().open(apppaths::logFile());

    const QString connection = QStringLiteral("连接配制");
    const QString header = QStringLiteral("材料出库单表头");
    bool ok = settings::writeKeys(connection,
                                  {
                                      {QStringLiteral("服务器"), QStringLiteral("192.168.1.20\\U8")},
                                      {QStringLiteral("账套"), QStringLiteral("UFDATA_001_2021")},
                                      {QStringLiteral("用户名"), QStringLiteral("sa")},
                                      {QStringLiteral("密码"), 加密密码(QStringLiteral("仓库pw€"))},
                                  });
    ok = settings::writeKey(header, QStringLiteral("仓库"), QStringLiteral("02|五金仓")) && ok;
    ok = settings::writeKey(header, QStringLiteral("经手人"), QStringLiteral("0001|王洋国")) && ok;
    // ß is outside GBK: refused, the file keeps its bytes.
    QString refusal;
    const bool refused =
        !settings::tryWriteKey(header, QStringLiteral("出库类别"), QStringLiteral("202|生产领料ß"), &refusal);
    ok = settings::writeKey(header, QStringLiteral("出库类别"), QStringLiteral("202|生产领料")) && ok;
    写日志(QStringLiteral("refused: ") + refusal + QStringLiteral(" typed: 领料ß•"));
    OperationLog::instance().close();

    QFile out(QDir(args.at(1)).filePath(QStringLiteral("refusal.txt")));
    if (out.open(QIODevice::WriteOnly))
        out.write(refusal.toUtf8());
    if (!ok || !refused) {
        std::fprintf(stderr, "quillmark_settings_probe: a write failed or the refused value was written\n");
        return 1;
    }
    return 0;
}
