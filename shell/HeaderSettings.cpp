#include "HeaderSettings.h"

#include "Settings.h"
#include "TextCodec.h"

namespace headersettings {

SaveResult save(const Choice& choice)
{
    if (!choice.warehouse || !choice.handler || !choice.category)
        return SaveResult::Incomplete;
    settings::writeKey(kSection, QStringLiteral("仓库"), textcodec::trimBlanks(*choice.warehouse));
    settings::writeKey(kSection, QStringLiteral("经手人"), textcodec::trimBlanks(*choice.handler));
    settings::writeKey(kSection, QStringLiteral("出库类别"), textcodec::trimBlanks(*choice.category));
    return SaveResult::Saved;
}

} // namespace headersettings
