#pragma once

#include <QByteArray>
#include <functional>

// Turns the entry view's text (GBK bytes) into the speech markup handed to the voice.
//
// Two modes, chosen by the language box's text:
//  - "纯中文": the whole text under one Chinese LANG tag, its full stops made ideographic;
//  - "中英混合": ASCII letters, digits, blanks and punctuation are first made double-byte by a
//    fixed table, then the text is walked two bytes at a time and a LANG tag goes in wherever
//    the language changes: full-width small letters are English, every other pair Chinese.
namespace SpeechText {

// <LANG LANGID="804"> and <LANG LANGID="409">: never closed, each holds until the next.
QByteArray chineseTag();
QByteArray englishTag();

// The mode texts of the language box, GBK.
QByteArray chineseModeName();
QByteArray mixedModeName();

// Replaces every occurrence of `pattern` left to right, resuming behind each replacement.
// ASCII letters compare without regard to case. A match only starts where a character
// starts: the trailing bytes of GBK and GB18030 characters are never matched.
QByteArray replaceAll(const QByteArray& text, QByteArrayView pattern, QByteArrayView replacement);

// The all-Chinese speech text: the Chinese tag, then the text with "." made "。".
QByteArray chineseMode(const QByteArray& source);

// The 66 replacements of the mixed mode, applied in their order.
QByteArray mixedReplacements(const QByteArray& source);

// State of the mixed-mode walk: the language section open (100 none yet, 0 Chinese,
// 1 English) and the speech text built so far.
struct WalkState
{
    int language = 100;
    QByteArray speechText;
};

// Walks the working text (the source after mixedReplacements) two bytes at a time, appending
// to state.speechText. After each pair it sets the progress to p * 100 / L through
// `setProgress`, which answers the progress as the gauge then holds it (clamped to 0..100);
// when that answer is 100, `speak` gets the speech text. A text of 0 or 1 bytes is not
// walked: the speech text stays empty and nothing is spoken.
void mixedWalk(const QByteArray& working, WalkState& state,
               const std::function<int(int)>& setProgress,
               const std::function<void(const QByteArray&)>& speak);

} // namespace SpeechText
