#include "QtAudioOutput.h"

#include "SoundServerProbe.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {

// Qt Multimedia contacts the sound server once, on first use, and in Qt 6.4 does not try
// again if the server was not there. So it is first used only once the server answers.
bool s_qtMultimediaUsed = false;

QString errorName(QAudio::Error error)
{
    switch (error) {
    case QAudio::NoError:
        return QStringLiteral("no error");
    case QAudio::OpenError:
        return QStringLiteral("the device could not be opened");
    case QAudio::IOError:
        return QStringLiteral("writing to the device failed");
    case QAudio::UnderrunError:
        return QStringLiteral("buffer underrun");
    case QAudio::FatalError:
        return QStringLiteral("the sound server is gone");
    }
    return QStringLiteral("unknown error");
}

} // namespace

QtAudioOutput::QtAudioOutput() = default;

QtAudioOutput::~QtAudioOutput()
{
    close();
}

void QtAudioOutput::close()
{
    if (!m_sink)
        return;
    m_sink->stop(); // drops what the server still holds: the sound ends now
    delete m_sink;
    m_sink = nullptr;
    m_device = nullptr;
}

QString QtAudioOutput::open(int sampleRate)
{
    close();
    if (!s_qtMultimediaUsed) {
        const QString unreachable = SoundServerProbe::unreachableReason();
        if (!unreachable.isEmpty())
            return unreachable;
        s_qtMultimediaUsed = true;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return QStringLiteral("No audio output device: the sound server offers no output.");

    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = new QAudioSink(device, format);
    m_sink->setBufferSize(qsizetype(sampleRate) * 2 * BufferMilliseconds / 1000);
    m_device = m_sink->start();
    if (!m_device || m_sink->error() != QAudio::NoError) {
        const QString why = errorName(m_sink->error());
        close();
        return QStringLiteral("No audio output device: \"%1\" cannot be opened (%2).")
            .arg(device.description(), why);
    }
    return {};
}

qint64 QtAudioOutput::bytesFree()
{
    return m_sink ? m_sink->bytesFree() : 0;
}

void QtAudioOutput::write(const QByteArray& pcm)
{
    if (m_device)
        m_device->write(pcm);
}

void QtAudioOutput::suspend()
{
    if (m_sink)
        m_sink->suspend();
}

void QtAudioOutput::resume()
{
    if (m_sink)
        m_sink->resume();
}

QString QtAudioOutput::failure() const
{
    if (!m_sink)
        return QStringLiteral("No audio output device: the audio output is not open.");
    const QAudio::Error error = m_sink->error();
    if (error == QAudio::NoError || error == QAudio::UnderrunError)
        return {};
    return QStringLiteral("The audio output stopped working (%1).").arg(errorName(error));
}
