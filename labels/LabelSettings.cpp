#include "labels/LabelSettings.h"

#include "app/Settings.h"

LabelSettings LabelSettings::load(const QString& section)
{
    auto read = [&](const char16_t* key) { return settings::readKey(section, QString::fromUtf16(key)); };
    return {read(u"纸张长"), read(u"纸张宽"), read(u"二维码长"), read(u"二维码宽"), read(u"打印机"),
            read(u"边距上"), read(u"边距下"), read(u"边距左"),   read(u"边距右")};
}

bool LabelSettings::savePaper(const QString& section, const QString& width, const QString& height, QString* error)
{
    return settings::writeKeys(section, {{QStringLiteral("纸张长"), width}, {QStringLiteral("纸张宽"), height}}, error);
}

bool LabelSettings::saveQrSize(const QString& section, const QString& long_, const QString& wide, QString* error)
{
    return settings::writeKeys(section, {{QStringLiteral("二维码长"), long_}, {QStringLiteral("二维码宽"), wide}},
                               error);
}

bool LabelSettings::saveMargins(const QString& section, const QString& top, const QString& bottom, const QString& left,
                                const QString& right, QString* error)
{
    return settings::writeKeys(section,
                               {{QStringLiteral("边距上"), top},
                                {QStringLiteral("边距下"), bottom},
                                {QStringLiteral("边距左"), left},
                                {QStringLiteral("边距右"), right}},
                               error);
}

bool LabelSettings::savePrinter(const QString& section, const QString& printer, QString* error)
{
    return settings::tryWriteKey(section, QStringLiteral("打印机"), printer, error);
}

QString LabelSettings::printer(const QString& section)
{
    return settings::readKey(section, QStringLiteral("打印机"));
}
