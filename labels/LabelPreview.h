#pragma once
// The 预览 window of the label windows: the first ticked label exactly as
// it will print, one screen pixel block per printer dot, with the figures
// that matter when setting up a label printer.
#include "labels/LabelPage.h"

class QWidget;

// Opens the preview over the label window (window-modal, closes itself).
// printer: the printer whose resolution was used; "" when none was found.
void showLabelPreview(QWidget* owner, const LabelPage& page, const QString& printer);

// The figures shown under the picture.
QString labelPreviewText(const LabelPage& page, const QString& printer);
