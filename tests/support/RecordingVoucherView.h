#pragma once
// Records the voucher writer's requests, in order, instead of carrying them
// out (tests, benchmarks, a writer without a window).
#include "bookings/VoucherView.h"

#include <QStringList>

#include <functional>

class RecordingVoucherView : public VoucherView {
public:
    void setWriting(bool writing) override { events << (writing ? QStringLiteral("writing") : QStringLiteral("done")); }
    void showPrompt(const QString& text) override
    {
        events << QStringLiteral("prompt:") + text;
        if (onPrompt)
            onPrompt(text);
    }
    void replacePrompt(const QString& text) override
    {
        events << QStringLiteral("prompt:") + text;
        if (onPrompt)
            onPrompt(text);
    }
    void playPrompt(const QString& fileName) override { events << QStringLiteral("play:") + fileName; }
    void clearLines() override { events << QStringLiteral("clear lines"); }
    void resetScanField() override { events << QStringLiteral("reset scan field"); }
    void showMessage(const QString& text) override { events << QStringLiteral("message:") + text; }

    // The texts put into the prompt field, in order.
    QStringList prompts() const
    {
        QStringList out;
        for (const QString& e : events)
            if (e.startsWith(QStringLiteral("prompt:")))
                out << e.mid(7);
        return out;
    }

    QStringList events;
    // Called after each prompt (a test clicks again from here).
    std::function<void(const QString&)> onPrompt;
};
