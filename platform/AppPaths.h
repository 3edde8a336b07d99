#pragma once

#include <QString>

namespace AppPaths {

// Full path of the running executable (symbolic links resolved).
QString executableFile();
// What the program keeps beside itself: its idiom store, "data/EduData.db", and the publisher's
// pages, "site".
QString besideProgram(const QString& relativePath);
inline const QString StoreFile = QStringLiteral("data/EduData.db");
// Tests run the program's windows inside their own executable; this points the windows at a
// directory of the test's choosing instead. Empty restores the real path.
void setExecutableFileForTests(const QString& path);

// The directory for per-user runtime files (instance lock, wake-up socket):
// $XDG_RUNTIME_DIR when it is set (made, private to the user, when missing) and files can be
// made in it, else the temp directory.
QString runtimeDir();
// A file name in runtimeDir(); in the shared temp directory the user id is added to it.
QString runtimeFile(const QString& name);

} // namespace AppPaths
