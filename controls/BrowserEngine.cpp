#include "BrowserEngine.h"

#include <QCoreApplication>

#include <unistd.h>

void prepareBrowserEngine()
{
    // The engine shares its OpenGL contexts with the widgets that show its pages.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine's sandbox refuses to run as root and the engine would not start at all;
    // only then is it switched off.
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
