#pragma once

#include <QUrl>
#include <functional>

class QObject;
class QWidget;
class TWebBrowseEx;

// Loads the banner module on first use and creates the banner's browser through it.
// Failures (no module, no engine, an address it refuses) raise Exception.
namespace BannerLoader {

using ContextMenuHandler = std::function<void(QObject* sender, qint32& result)>;

// Before the QApplication is created: readies the browser engine when the banner is wanted.
void prepareEngine();

// False when WENQUELL_BANNER_MODULE is set and empty: the program then runs without the banner
// (and without the browser engine and the OpenGL it needs), as on a machine short of memory.
// Set to a path, that module is used instead of the one beside the program.
bool bannerWanted();

// Whether this display can draw the browser. On a windowing system without a working OpenGL
// (an X server without GLX, as over some remote desktops) a window holding the browser
// crashes in Qt when it is drawn: there is no banner then, and `why` says so. The offscreen
// platform draws the browser in software. Loads the OpenGL driver.
bool canDrawBanner(QString* why);

struct Banner
{
    QWidget* widget = nullptr;
    TWebBrowseEx* control = nullptr; // the same object
};

// The handler must outlive the banner (the main window owns both).
Banner create(QWidget* parent, const ContextMenuHandler* onContextMenu);
// The address the banner's browser would load for `text`; Exception for one it would refuse.
QUrl checkedAddress(const QString& text);
void navigate(QWidget* banner, const QUrl& address);

} // namespace BannerLoader
