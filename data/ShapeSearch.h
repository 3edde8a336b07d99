#pragma once

#include <QString>
#include <QStringList>

// Finding an idiom by its shape: a text with marks for "any one character" (？ ? ＊ *), or a
// word naming which of its four characters repeat (AABB for 高高兴兴, ABAC for 一心一意).
namespace ShapeSearch {

struct Pattern
{
    enum class Kind
    {
        None,
        Wildcards,
        Word
    };
    Kind kind = Kind::None;
    // Wildcards: the text with every mark for one character made "_" (what "like" takes);
    // "%" and "_" keep their meaning. Word: the word, in plain upper-case letters.
    QString text;
};

// The shape `typed` asks for, blanks dropped; Kind::None when it asks for none. A pattern
// word may be in either case and in full-width letters.
Pattern parse(const QString& typed);

// Whether a whole idiom has the shape: for wildcards, every character stands as written or
// where "_" stands, and "%" takes any run of characters (none too); for a word, the idiom has
// four characters, equal where the word's letters are equal and different where they differ.
bool matches(const Pattern& pattern, const QString& idiom);

// The idioms of `idioms` that have the shape, in their order.
QStringList filter(const Pattern& pattern, const QStringList& idioms);

} // namespace ShapeSearch
