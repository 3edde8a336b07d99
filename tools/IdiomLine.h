#pragma once

#include <QString>
#include <optional>

// One line of the idiom data set: the idiom, then the labelled fields 拼音：, 释义：, 出处：
// and 示例：. A label may be missing (its field is then empty) and the idiom may be glued to
// the first label.
struct IdiomRecord
{
    QString chengYu; // the idiom
    QString pingYin; // 拼音, as written
    QString dianGu;  // 释义, the explanation
    QString chuchu;  // 出处, the source
    QString liZi;    // 示例, the example
};

namespace IdiomLine {

// The record of a line, or nothing when the line is damaged: its idiom is empty or holds
// anything but Chinese characters and the full-width "，" and "、" of multi-part sayings.
std::optional<IdiomRecord> parse(const QString& line);

bool isIdiomText(const QString& text);

} // namespace IdiomLine
