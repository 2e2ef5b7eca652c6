#include "scanner_setup/SetupCode.h"

#include "qr/facade.h"

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kRed = 0xFF;
} // namespace

const QList<SetupCode>& SetupCode::commands()
{
    // Clearing the scanner's stored data is drawn in red so that nobody
    // scans it by mistake.
    static const QList<SetupCode> codes{
        {QStringLiteral("按钮_普通模式"), QStringLiteral("普通模式"), QStringLiteral("%%SpecCode10"), kBlack},
        {QStringLiteral("按钮_盘点模式"), QStringLiteral("盘点模式"), QStringLiteral("%%SpecCode11"), kBlack},
        {QStringLiteral("按钮_显示记录数"), QStringLiteral("显示记录数"), QStringLiteral("%%SpecCode17"), kBlack},
        {QStringLiteral("按钮_显示电量"), QStringLiteral("显示电量"), QStringLiteral("%%SpecCode15"), kBlack},
        {QStringLiteral("按钮_清除数据"), QStringLiteral("清除数据"), QStringLiteral("%%SpecCode18"), kRed},
    };
    return codes;
}

QByteArray SetupCode::picture(const QString& text, std::uint32_t darkColour)
{
    const QByteArray utf8 = text.toUtf8();
    // Width and height 0 take the module's default size, 100 x 100.
    const std::vector<std::uint8_t> bmp = qr::创建二维码(std::string_view(utf8.constData(), utf8.size()),
                                                         std::string_view("H"), 0, 0, kWhite, darkColour);
    return QByteArray(reinterpret_cast<const char*>(bmp.data()), static_cast<qsizetype>(bmp.size()));
}
