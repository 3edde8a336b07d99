#pragma once

#include <QList>
#include <QString>

// The languages the voice engine has a voice for.
enum class SpeechLanguage
{
    Chinese, // Mandarin
    English, // American English
};

// A stretch of text spoken in one language. `text` is what the synthesiser reads: the source
// text itself, except that full-width Latin letters and digits of an English run are folded to
// ASCII (one UTF-16 unit for one, so offsets into `text` and into the source line up).
struct SpeechRun
{
    SpeechLanguage language = SpeechLanguage::Chinese;
    QString text;
    qsizetype sourcePos = 0; // where `text` begins in the text given to Speak

    bool operator==(const SpeechRun& other) const = default;
};

enum class MarkupMode
{
    Auto,      // markup exactly when the text begins with "<"
    Markup,    // always markup
    PlainText, // never markup
};

// Splits a text given to Speak into runs by its LANG elements. Plain text (not markup) is one
// Chinese run, spoken as it is. In markup, <LANG LANGID="hex">, its self-closing form and
// </LANG> switch the language; anything else, known or not, that is not a well-formed LANG
// element is spoken as text. Empty runs are left out.
QList<SpeechRun> parseSpeechMarkup(const QString& text, MarkupMode mode = MarkupMode::Auto);

// Full-width Latin letters and digits (U+FF10..U+FF19, U+FF21..U+FF3A, U+FF41..U+FF5A) as the
// ASCII characters they stand for; everything else unchanged.
QString foldFullWidthLatin(const QString& text);

// The language a Windows language identifier stands for, by its primary language (the low ten
// bits): 0x04 Chinese, 0x09 English. False for every other language.
bool languageForLangId(uint langId, SpeechLanguage* language);

// Where the piece of `text` that begins at `from` ends for the synthesiser: just behind the
// first sentence end (with closing quotes and blanks after it), or at the end of the text.
// Pieces longer than `limit` are cut at a clause mark or blank, failing that at `limit`.
// `*sentence` tells whether the piece ends a sentence.
qsizetype speechPieceEnd(const QString& text, qsizetype from, qsizetype limit, bool* sentence);
