#include "shell/HeaderSettings.h"

#include "app/Settings.h"
#include "app/TextCodec.h"
#include "erp/MasterData.h"

namespace headersettings {

namespace {

QString keyOf(headerlists::Kind kind)
{
    switch (kind) {
    case headerlists::Kind::Warehouse:
        return QStringLiteral("仓库");
    case headerlists::Kind::Handler:
        return QStringLiteral("经手人");
    case headerlists::Kind::Category:
        return QStringLiteral("出库类别");
    }
    return {};
}

} // namespace

SaveResult save(const Choice& choice, QString* error)
{
    if (!choice.warehouse || !choice.handler || !choice.category)
        return SaveResult::Incomplete;
    const bool written =
        settings::writeKeys(kSection,
                            {{keyOf(headerlists::Kind::Warehouse), textcodec::trimBlanks(*choice.warehouse)},
                             {keyOf(headerlists::Kind::Handler), textcodec::trimBlanks(*choice.handler)},
                             {keyOf(headerlists::Kind::Category), textcodec::trimBlanks(*choice.category)}},
                            error);
    return written ? SaveResult::Saved : SaveResult::Failed;
}

QString savedValue(headerlists::Kind kind)
{
    return settings::readKey(kSection, keyOf(kind));
}

Restored restore(headerlists::Kind kind, const QString& saved, const QStringList& items)
{
    Restored r;
    if (saved.isEmpty())
        return r;
    r.index = headerlists::indexOfCode(items, masterdata::codePart(saved));
    if (r.index < 0)
        r.missing = headerlists::caption(kind) + QStringLiteral("【") + saved + QStringLiteral("】");
    return r;
}

QString missingHint(const QStringList& missing)
{
    if (missing.isEmpty())
        return {};
    return QStringLiteral("ERP中已无已保存的") + missing.join(QStringLiteral("、")) + QStringLiteral("，请重新选择");
}

} // namespace headersettings
