// Any bytes, either mode: the speech text always starts with a LANG tag, decodes, and the
// mixed mode speaks exactly once when there are two bytes or more.
#include "Gbk.h"
#include "SpeechText.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool mixed = data[0] & 1;
    const QByteArray source(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QByteArray spoken;
    int speakCount = 0;
    if (mixed) {
        const QByteArray working = SpeechText::mixedReplacements(source);
        SpeechText::WalkState state;
        SpeechText::mixedWalk(
            working, state, [](int v) { return v < 0     ? 0
                                               : v > 100 ? 100
                                                         : v; },
            [&](const QByteArray& t) {
                spoken = t;
                ++speakCount;
            });
        if (speakCount != (working.size() >= 2 ? 1 : 0))
            std::abort();
    } else {
        spoken = SpeechText::chineseMode(source);
        speakCount = 1;
    }
    if (speakCount == 1) {
        if (!spoken.startsWith(SpeechText::chineseTag()) &&
            !spoken.startsWith(SpeechText::englishTag()))
            std::abort();
        (void)Gbk::toUnicode(spoken).size();
    }
    return 0;
}
