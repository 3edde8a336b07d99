#include "VoiceStream.h"

#include <algorithm>

void VoiceStream::append(const char* data, qint64 bytes)
{
    if (bytes <= 0)
        return;
    m_blocks.emplace_back(data, qsizetype(bytes));
    m_appended += bytes;
}

void VoiceStream::appendSilence(qint64 bytes)
{
    if (bytes <= 0)
        return;
    m_blocks.emplace_back(qsizetype(bytes), '\0');
    m_appended += bytes;
}

QByteArray VoiceStream::take(qint64 maxBytes)
{
    qint64 wanted = qMin(maxBytes, buffered()) & ~qint64(1);
    QByteArray out;
    out.reserve(qsizetype(qMax<qint64>(wanted, 0)));
    while (wanted > 0 && !m_blocks.empty()) {
        const QByteArray& front = m_blocks.front();
        const qint64 available = front.size() - m_headOffset;
        const qint64 n = qMin(available, wanted);
        out.append(front.constData() + m_headOffset, qsizetype(n));
        m_headOffset += n;
        wanted -= n;
        m_consumed += n;
        if (m_headOffset == front.size()) {
            m_blocks.pop_front();
            m_headOffset = 0;
        }
    }
    return out;
}

void VoiceStream::truncate(qint64 position)
{
    position = qMax(position, m_consumed);
    qint64 excess = m_appended - position;
    while (excess > 0 && !m_blocks.empty()) {
        QByteArray& back = m_blocks.back();
        const qint64 taken = m_blocks.size() == 1 ? m_headOffset : 0;
        const qint64 available = back.size() - taken;
        if (available <= excess) {
            excess -= available;
            m_blocks.pop_back();
            if (m_blocks.empty())
                m_headOffset = 0;
        } else {
            back.truncate(qsizetype(back.size() - excess));
            excess = 0;
        }
    }
    m_appended = position;
}

void VoiceStream::addMarker(Marker marker)
{
    if (!m_markers.empty())
        marker.position = qMax(marker.position, m_markers.back().position);
    m_markers.push_back(std::move(marker));
}

void VoiceStream::clampMarkersToAudio()
{
    for (auto it = m_markers.rbegin(); it != m_markers.rend() && it->position > m_appended; ++it)
        it->position = m_appended;
}

std::vector<VoiceStream::Marker> VoiceStream::takeDueMarkers()
{
    std::vector<Marker> due;
    while (!m_markers.empty() && m_markers.front().position <= m_consumed) {
        due.push_back(std::move(m_markers.front()));
        m_markers.pop_front();
        const Marker& marker = due.back();
        if (marker.event.kind == SpeechEvent::EndStream && !jobs.empty() &&
            jobs.front().streamNumber == marker.event.streamNumber)
            jobs.pop_front();
    }
    return due;
}

VoiceStream::Job* VoiceStream::jobToSynthesize()
{
    for (Job& job : jobs) {
        if (!job.synthesized)
            return &job;
    }
    return nullptr;
}

VoiceStream::Job* VoiceStream::findJob(int streamNumber)
{
    for (Job& job : jobs) {
        if (job.streamNumber == streamNumber)
            return &job;
    }
    return nullptr;
}

void VoiceStream::clearSpeech()
{
    jobs.clear();
    m_markers.clear();
    m_blocks.clear();
    m_headOffset = 0;
    m_appended = m_consumed;
    restartRequested = false;
    waitingForRoom = false;
    ++generation;
}

bool VoiceStream::rewindToNextWord()
{
    const auto word = std::find_if(m_markers.begin(), m_markers.end(), [](const Marker& m) {
        return m.event.kind == SpeechEvent::Word;
    });
    if (word == m_markers.end())
        return false;
    const qint64 cut = qMin(word->position, m_appended);
    const int streamNumber = word->event.streamNumber;
    const int run = word->run;
    const qsizetype offset = word->offset;

    truncate(cut);
    // What lies before the word stays: earlier texts' events, and this text's start and voice
    // change at the very point of the cut.
    std::deque<Marker> kept;
    for (Marker& m : m_markers) {
        const bool before = m.position < cut ||
                            (m.position == cut && (m.event.streamNumber < streamNumber ||
                                                   (m.event.streamNumber == streamNumber &&
                                                    (m.event.kind == SpeechEvent::StartStream ||
                                                     m.event.kind == SpeechEvent::VoiceChange))));
        if (before)
            kept.push_back(std::move(m));
    }
    m_markers.swap(kept);

    for (Job& job : jobs) {
        if (job.streamNumber == streamNumber) {
            job.run = run;
            job.offset = offset;
            job.synthesized = false;
            job.lastRunMarked = qMin(job.lastRunMarked, run);
        } else if (job.streamNumber > streamNumber) {
            job.run = 0;
            job.offset = 0;
            job.synthesized = false;
            job.startMarked = false;
            job.lastRunMarked = -1;
            job.firstAudioReported = false;
        }
    }
    return true;
}
