#pragma once

#include <QString>

// Finds out, without Qt Multimedia, whether the PulseAudio (or PipeWire) sound server can be
// reached, looking where libpulse looks: $PULSE_SERVER, else the per-user socket and the
// system socket. When the answer is not certain (a server named in client.conf, or one that
// may be announced on the X display), it says reachable and lets the sound library try.
class SoundServerProbe
{
public:
    // Empty when the server can (or may) be reached; otherwise why there is no audio output.
    static QString unreachableReason();
    // Whether one server address as libpulse writes it ("unix:/path", "/path", "tcp:host:port",
    // "host", each optionally after "{machine-id}") accepts a connection.
    static bool canConnect(const QString& server);
};
