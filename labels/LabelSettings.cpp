#include "LabelSettings.h"

#include "Settings.h"

#include <initializer_list>
#include <type_traits>
#include <utility>

namespace {

// settings::writeKey may or may not report its outcome; where it does, a
// failed write is passed on so that the window can say so.
template <class Write>
bool reported(Write&& write)
{
    if constexpr (std::is_void_v<std::invoke_result_t<Write>>) {
        write();
        return true;
    } else {
        return static_cast<bool>(write());
    }
}

bool write(const QString& section, const QString& key, const QString& value)
{
    return reported([&] { return settings::writeKey(section, key, value); });
}

bool writeAll(const QString& section, std::initializer_list<std::pair<QString, QString>> keys)
{
    bool all = true;
    for (const auto& [key, value] : keys)
        all = write(section, key, value) && all;
    return all;
}

} // namespace

LabelSettings LabelSettings::load(const QString& section)
{
    auto read = [&](const char16_t* key) { return settings::readKey(section, QString::fromUtf16(key)); };
    return {read(u"纸张长"), read(u"纸张宽"), read(u"二维码长"), read(u"二维码宽"), read(u"打印机"),
            read(u"边距上"), read(u"边距下"), read(u"边距左"), read(u"边距右")};
}

bool LabelSettings::savePaper(const QString& section, const QString& width, const QString& height)
{
    return writeAll(section, {{QStringLiteral("纸张长"), width}, {QStringLiteral("纸张宽"), height}});
}

bool LabelSettings::saveQrSize(const QString& section, const QString& long_, const QString& wide)
{
    return writeAll(section, {{QStringLiteral("二维码长"), long_}, {QStringLiteral("二维码宽"), wide}});
}

bool LabelSettings::saveMargins(const QString& section, const QString& top, const QString& bottom,
                                const QString& left, const QString& right)
{
    return writeAll(section, {{QStringLiteral("边距上"), top},
                              {QStringLiteral("边距下"), bottom},
                              {QStringLiteral("边距左"), left},
                              {QStringLiteral("边距右"), right}});
}

bool LabelSettings::savePrinter(const QString& section, const QString& printer)
{
    return write(section, QStringLiteral("打印机"), printer);
}

QString LabelSettings::printer(const QString& section)
{
    return settings::readKey(section, QStringLiteral("打印机"));
}
