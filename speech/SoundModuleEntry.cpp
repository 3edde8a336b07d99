// The entry of libwenquell-sound.so (see SoundModule.h).
#include "PulseAudioOutput.h"
#include "SoundModule.h"

extern "C" Q_DECL_EXPORT AudioOutput* wenquellCreateAudioOutput()
{
    return new PulseAudioOutput;
}
