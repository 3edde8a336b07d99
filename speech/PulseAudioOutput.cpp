#include "PulseAudioOutput.h"

#include "SoundServerProbe.h"

#include <pulse/pulseaudio.h>

namespace {

void wakeWaiter(void* loop)
{
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
}

void contextChanged(pa_context*, void* loop)
{
    wakeWaiter(loop);
}

void streamChanged(pa_stream*, void* loop)
{
    wakeWaiter(loop);
}

struct Deadline
{
    pa_threaded_mainloop* loop;
    bool* expired;
};

void deadlinePassed(pa_mainloop_api*, pa_time_event*, const timeval*, void* data)
{
    const auto* deadline = static_cast<Deadline*>(data);
    *deadline->expired = true;
    wakeWaiter(deadline->loop);
}

class Locked
{
public:
    explicit Locked(pa_threaded_mainloop* loop) : m_loop(loop)
    {
        if (m_loop)
            pa_threaded_mainloop_lock(m_loop);
    }
    ~Locked()
    {
        if (m_loop)
            pa_threaded_mainloop_unlock(m_loop);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

QString serverError(pa_context* context)
{
    return QString::fromUtf8(pa_strerror(pa_context_errno(context)));
}

} // namespace

PulseAudioOutput::PulseAudioOutput() = default;

PulseAudioOutput::~PulseAudioOutput()
{
    close();
}

void PulseAudioOutput::close()
{
    if (!m_loop)
        return;
    {
        const Locked locked(m_loop);
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream); // drops what the server still holds: the sound ends
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
    m_loop = nullptr;
}

template <class Ready, class Failed> bool PulseAudioOutput::waitFor(Ready ready, Failed failed)
{
    m_timedOut = false;
    Deadline deadline{m_loop, &m_timedOut};
    pa_time_event* timer =
        pa_context_rttime_new(m_context, pa_rtclock_now() + pa_usec_t(ConnectTimeoutMs) * 1000,
                              deadlinePassed, &deadline);
    bool ok = false;
    for (;;) {
        if (ready()) {
            ok = true;
            break;
        }
        if (failed() || m_timedOut)
            break;
        pa_threaded_mainloop_wait(m_loop);
    }
    if (timer)
        pa_threaded_mainloop_get_api(m_loop)->time_free(timer);
    return ok;
}

QString PulseAudioOutput::open(int sampleRate)
{
    close();
    const QString unreachable = SoundServerProbe::unreachableReason();
    if (!unreachable.isEmpty())
        return unreachable;

    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
        close();
        return QStringLiteral("No audio output device: the sound server's client cannot start.");
    }
    QString why;
    {
        const Locked locked(m_loop);
        m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Wenquell");
        pa_context_set_state_callback(m_context, contextChanged, m_loop);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
            !waitFor([this] { return pa_context_get_state(m_context) == PA_CONTEXT_READY; },
                     [this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)); })) {
            why = QStringLiteral("No audio output device: the sound server cannot be reached "
                                 "(%1).")
                      .arg(m_timedOut ? QStringLiteral("no answer") : serverError(m_context));
        } else {
            const pa_sample_spec spec{PA_SAMPLE_S16LE, quint32(sampleRate), 1};
            m_stream = pa_stream_new(m_context, "Wenquell", &spec, nullptr);
            pa_buffer_attr buffer;
            buffer.maxlength = quint32(-1);
            buffer.tlength = quint32(qint64(sampleRate) * 2 * BufferMilliseconds / 1000);
            buffer.prebuf = quint32(-1);
            buffer.minreq = quint32(-1);
            buffer.fragsize = quint32(-1);
            if (m_stream)
                pa_stream_set_state_callback(m_stream, streamChanged, m_loop);
            if (!m_stream ||
                pa_stream_connect_playback(m_stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY,
                                           nullptr, nullptr) < 0 ||
                !waitFor([this] { return pa_stream_get_state(m_stream) == PA_STREAM_READY; },
                         [this] {
                             return !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)) ||
                                    !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context));
                         })) {
                why = QStringLiteral("No audio output device: the sound server offers no output "
                                     "(%1).")
                          .arg(m_timedOut ? QStringLiteral("no answer") : serverError(m_context));
            }
        }
    }
    if (!why.isEmpty())
        close();
    return why;
}

qint64 PulseAudioOutput::bytesFree()
{
    if (!m_stream)
        return 0;
    const Locked locked(m_loop);
    const size_t room = pa_stream_writable_size(m_stream);
    return room == size_t(-1) ? 0 : qint64(room);
}

void PulseAudioOutput::write(const QByteArray& pcm)
{
    if (!m_stream || pcm.isEmpty())
        return;
    const Locked locked(m_loop);
    pa_stream_write(m_stream, pcm.constData(), size_t(pcm.size()), nullptr, 0, PA_SEEK_RELATIVE);
}

void PulseAudioOutput::cork(bool on)
{
    if (!m_stream)
        return;
    const Locked locked(m_loop);
    if (pa_operation* op = pa_stream_cork(m_stream, on ? 1 : 0, nullptr, nullptr))
        pa_operation_unref(op);
}

void PulseAudioOutput::suspend()
{
    cork(true);
}

void PulseAudioOutput::resume()
{
    cork(false);
}

QString PulseAudioOutput::failure() const
{
    if (!m_stream)
        return QStringLiteral("No audio output device: the audio output is not open.");
    const Locked locked(m_loop);
    if (PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)) &&
        PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)))
        return {};
    return QStringLiteral("The audio output stopped working (the sound server is gone).");
}
