#pragma once

#include "Exception.h"

// Raised by the voice and its engine: missing speech data, no audio output, a failing call.
class ESpeechError : public Exception
{
public:
    using Exception::Exception;
};
