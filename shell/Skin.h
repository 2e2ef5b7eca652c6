#pragma once
// The program's one look: a style sheet compiled into the program and
// applied to the whole application, so no file has to sit beside it.

namespace skin {

// Applies the embedded style sheet. Without it the windows keep the
// platform's standard look; nothing is reported.
void apply();

} // namespace skin
