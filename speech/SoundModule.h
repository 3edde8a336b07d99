#pragma once

#include "AudioOutput.h"

// The sound card's output (PulseAudioOutput) is built as a module of its own,
// libwenquell-sound.so beside the program, so that the sound server's client libraries are
// loaded once the window is on screen (or by the first Play), not at start-up.
extern "C" {
// The module's one entry: a new output for the sound card, owned by the caller.
using WqCreateAudioOutput = AudioOutput* (*)();
}

namespace SoundModule {

// A new output for the sound card, from the module WENQUELL_SOUND_MODULE names, else the one
// beside the program. A module stays loaded once it has loaded; until then each call tries
// again, and the output's open() says why it could not.
std::unique_ptr<AudioOutput> createOutput();
// Loads the module ahead of the first output, so that the first Play does not wait for it;
// a module that cannot be loaded is left for createOutput() to report.
void load();

} // namespace SoundModule
