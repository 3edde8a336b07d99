#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <optional>

// The update text: UTF-8 lines of "key=value"; blank lines and lines starting with '#' are
// skipped. "version" (up to four dot-separated numbers) is required; "address" is where the
// new version can be had, resolved against the update text's own address when relative.
//
//   # Wenquell
//   version=1.2.0
//   address=../../201072118.html
namespace UpdateText {

// Anything longer is not an update text.
inline constexpr qsizetype kMaxSize = 16 * 1024;

struct Announcement
{
    QString version;
    QUrl address; // empty when the text names none
};

std::optional<Announcement> parse(const QByteArray& text, const QUrl& source);

// Compares dot-separated version numbers: negative, zero or positive. Missing parts are 0.
int compareVersions(const QString& a, const QString& b);

bool isValidVersion(const QString& version);

} // namespace UpdateText
