#include "scanner_setup/SetupCode.h"

#include "app/CommandCodes.h"

#include "qr/facade.h"

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0;
} // namespace

const QList<SetupCode>& SetupCode::commands()
{
    // Every code is drawn black: a scanner with red light sees red as white
    // and could not read it. Clearing the scanner's stored data is marked
    // as dangerous around the code instead (a red frame and caption).
    static const QList<SetupCode> codes{
        {QStringLiteral("按钮_普通模式"), QStringLiteral("普通模式"), QStringLiteral("%%SpecCode10"), kBlack,
         QStringLiteral("普通模式：每扫一个码立即输入电脑（扫码出库用这个模式）")},
        {QStringLiteral("按钮_盘点模式"), QStringLiteral("盘点模式"), QStringLiteral("%%SpecCode11"), kBlack,
         QStringLiteral("盘点模式：扫到的码先存在条码枪里，以后再一起上传")},
        {QStringLiteral("按钮_显示记录数"), QStringLiteral("显示记录数"), QStringLiteral("%%SpecCode17"), kBlack,
         QStringLiteral("显示记录数：条码枪报出里面存了多少条扫描记录")},
        {QStringLiteral("按钮_显示电量"), QStringLiteral("显示电量"), QStringLiteral("%%SpecCode15"), kBlack,
         QStringLiteral("显示电量：条码枪报出剩余电量")},
        {QStringLiteral("按钮_清除数据"), QStringLiteral("清除数据"), QStringLiteral("%%SpecCode18"), kBlack,
         QStringLiteral("危险：清除条码枪里保存的全部扫描记录，清除后无法恢复！"), true},
    };
    return codes;
}

QString SetupCode::manualPurpose()
{
    return QStringLiteral("手动模式：按一下扳机扫一次");
}

QString SetupCode::continuousPurpose()
{
    return QStringLiteral("连续模式：不按扳机，条码枪一直自动扫描");
}

QList<SetupCode::Command> SetupCode::stationCommands()
{
    return {
        {QStringLiteral("图片框_命令_生成出库单"), QStringLiteral("生成出库单"), commandcodes::writeVoucher()},
        {QStringLiteral("图片框_命令_撤销"), QStringLiteral("撤销上一次扫码"), commandcodes::undoLastScan()},
        {QStringLiteral("图片框_命令_取消"), QStringLiteral("取消"), commandcodes::cancel()},
    };
}

QByteArray SetupCode::picture(const QString& text, std::uint32_t darkColour)
{
    const QByteArray utf8 = text.toUtf8();
    // Width and height 0 take the module's default size, 100 x 100.
    const std::vector<std::uint8_t> bmp = qr::创建二维码(std::string_view(utf8.constData(), utf8.size()),
                                                         std::string_view("H"), 0, 0, kWhite, darkColour);
    return QByteArray(reinterpret_cast<const char*>(bmp.data()), static_cast<qsizetype>(bmp.size()));
}
