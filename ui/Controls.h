#pragma once
// Building windows from their control tables: every control gets its
// name as objectName and its place in pixels relative to its parent.
#include <QString>
#include <QWidget>

namespace controls {

template <class Control, class... Args>
Control* make(QWidget* parent, const QString& name, int left, int top, int width, int height, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(left, top, width, height);
    return control;
}

} // namespace controls
