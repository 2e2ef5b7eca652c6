#pragma once
// Records the prompts instead of playing them (tests, benchmarks).
#include "ui/PromptPlayer.h"

#include <QStringList>

class RecordingPromptPlayer : public PromptPlayer {
public:
    void play(const QString& fileName) override { played.append(fileName); }
    QStringList played;
};
