#pragma once
// The scanning station's spoken prompts. Every prompt is one WAV file under
// the program's wav directory, named after what it says; the logic names the
// prompt to play, a PromptPlayer (ui/PromptPlayer.h) plays it.
#include <QString>
#include <QStringList>

namespace prompts {

// The six prompt files, as they are named under wav/.
inline const QString kScanFailed = QStringLiteral("扫码失败.wav");
inline const QString kScanSucceeded = QStringLiteral("扫码成功.wav");
inline const QString kScanEmployeeCard = QStringLiteral("请扫员工卡.wav");
inline const QString kEmployeeNotFound = QStringLiteral("未找到当前员工号.wav");
inline const QString kVoucherGenerated = QStringLiteral("材料出库单已经生成.wav");
inline const QString kPersonAccepted = QStringLiteral("扫人员码成功.wav");

inline const QStringList kAll{kScanFailed,       kScanSucceeded,    kScanEmployeeCard,
                              kEmployeeNotFound, kVoucherGenerated, kPersonAccepted};

} // namespace prompts
