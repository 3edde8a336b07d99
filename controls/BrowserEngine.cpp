#include "BrowserEngine.h"

#include <QCoreApplication>
#include <QOpenGLContext>

#include <unistd.h>

QT_BEGIN_NAMESPACE
// Exported by Qt GUI (not in its public headers): the context every context made with sharing
// turned on shares with. The browser engine sets it the same way.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

QOpenGLContext* s_shared = nullptr;

void releaseSharedContext()
{
    if (QOpenGLContext::globalShareContext() == s_shared)
        qt_gl_set_global_share_context(nullptr);
    delete s_shared;
    s_shared = nullptr;
}

} // namespace

void prepareBrowserEngine()
{
    // The engine's sandbox refuses to run as root and the engine would not start at all;
    // only then is it switched off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void shareBrowserGraphics()
{
    if (!QOpenGLContext::globalShareContext()) {
        s_shared = new QOpenGLContext;
        s_shared->setFormat(QSurfaceFormat::defaultFormat());
        // Without a working context the engine draws in software; it is still given the
        // (invalid) context, as it would be by the application object.
        s_shared->create();
        qt_gl_set_global_share_context(s_shared);
        // Runs while the application object still has its windowing system.
        qAddPostRoutine(releaseSharedContext);
    }
    // Qt::AA_ShareOpenGLContexts is left alone: set now it only draws a warning, and what it
    // adds (sharing between the widgets of different windows) is not needed for one banner.
}
