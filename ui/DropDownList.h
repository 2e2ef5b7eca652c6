#pragma once
// A combo box that tells its window just before its list opens, so the
// window can fill the list with what is there at that moment.
#include <QComboBox>

#include <functional>

class DropDownList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> aboutToOpen;
    void showPopup() override
    {
        if (aboutToOpen)
            aboutToOpen();
        QComboBox::showPopup();
    }
};
