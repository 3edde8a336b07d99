#pragma once

#include "nxGDIPlusAPI.h"

// The picture system's start-up for one run, before any window exists: the PNG codec test and
// the registration of the PNG graphic class. Its end runs the modules' exit routines in
// reverse order (the class is unregistered, then the library unloaded).
class GraphicUnits
{
public:
    explicit GraphicUnits(const GpCodecList& codecs = gpInstalledCodecs());
    GraphicUnits(const GraphicUnits&) = delete;
    GraphicUnits& operator=(const GraphicUnits&) = delete;
    ~GraphicUnits();
};
