#include "GraphicUnits.h"

#include "TnxUnitsLoader.h"
#include "nxGDIPlusClasses.h"

GraphicUnits::GraphicUnits(const GpCodecList& codecs)
{
    nxGDIPlusAPIInitialization();
    nxGDIPlusClassesInitialization(codecs);
}

GraphicUnits::~GraphicUnits()
{
    TnxUnitsLoader::finalizeUnits();
}
