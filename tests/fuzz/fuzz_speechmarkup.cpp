// Any text given to Speak: the markup parser never crashes, never drops text (every character
// of a plain text is in the runs), and its runs point inside the source.
#include "SpeechMarkup.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (MarkupMode mode : {MarkupMode::Auto, MarkupMode::Markup, MarkupMode::PlainText}) {
        const QList<SpeechRun> runs = parseSpeechMarkup(text, mode);
        qsizetype spoken = 0;
        for (const SpeechRun& r : runs) {
            if (r.text.isEmpty() || r.sourcePos < 0 || r.sourcePos + r.text.size() > text.size())
                std::abort();
            spoken += r.text.size();
        }
        if (mode == MarkupMode::PlainText && spoken != text.size())
            std::abort();
        qsizetype from = 0;
        while (from < text.size()) {
            bool sentence = false;
            const qsizetype end = speechPieceEnd(text, from, 200, &sentence);
            if (end <= from || end > text.size())
                std::abort();
            from = end;
        }
    }
    return 0;
}
