#pragma once
// Plays the scanning station's spoken prompts (app/Prompts.h). Windows play
// them through this interface, so tests can record which prompt a case
// plays instead of listening for it.
#include "app/Prompts.h"

#include <QString>

class PromptPlayer {
public:
    virtual ~PromptPlayer() = default;
    // Plays the prompt held for fileName (one of prompts::kAll) once and
    // returns at once. A prompt that could not be loaded, or a machine
    // without sound output, stays silent; playing is never an error.
    virtual void play(const QString& fileName) = 0;
};
