#pragma once
// A label window's size boxes as a clerk fills them, in millimetres: the
// paper's length and width, a square QR code, and the top and left margins.
#include "labels/LabelSettings.h"

inline LabelSettings labelBoxes(int paperLength, int paperWidth, int codeSide, int margin = 2)
{
    LabelSettings boxes;
    boxes.纸张长 = QString::number(paperLength);
    boxes.纸张宽 = QString::number(paperWidth);
    boxes.二维码长 = QString::number(codeSide);
    boxes.二维码宽 = QString::number(codeSide);
    boxes.边距上 = QString::number(margin);
    boxes.边距左 = QString::number(margin);
    return boxes;
}
