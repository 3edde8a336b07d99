#include "BannerLoader.h"

#include "AppPaths.h"
#include "BannerModule.h"
#include "BrowserAddress.h"
#include "BrowserEngine.h"
#include "Exception.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLibrary>

namespace BannerLoader {

namespace {

struct Module
{
    WqCreateBanner create = nullptr;
    WqNavigateBanner navigate = nullptr;
};

// The module the environment names, else the one beside the program (where the build and
// the install put it); never anywhere else, so no stray library can be picked up.
QStringList candidates()
{
    const QString chosen = qEnvironmentVariable("WENQUELL_BANNER_MODULE");
    if (!chosen.isEmpty())
        return {chosen};
    const QFileInfo program(AppPaths::executableFile());
    return {program.absolutePath() + QStringLiteral("/libwenquell-banner.so")};
}

const Module& module()
{
    static Module loaded;
    if (loaded.create)
        return loaded;
    QString why;
    // Before the engine loads (canDrawBanner() has normally done it already).
    shareBrowserGraphics();
    for (const QString& path : candidates()) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary library(path);
        if (!library.load()) {
            why = library.errorString();
            continue;
        }
        loaded.create = reinterpret_cast<WqCreateBanner>(library.resolve("wenquellCreateBanner"));
        loaded.navigate =
            reinterpret_cast<WqNavigateBanner>(library.resolve("wenquellNavigateBanner"));
        if (loaded.create && loaded.navigate)
            return loaded;
        why = library.errorString();
        loaded = {};
    }
    throw Exception(QStringLiteral("横幅无法显示：找不到浏览器模块 libwenquell-banner.so%1")
                        .arg(why.isEmpty() ? QString() : QStringLiteral("（%1）").arg(why)));
}

void contextMenuTrampoline(void* context, QObject* sender, std::int32_t* result)
{
    qint32 answer = *result;
    (*static_cast<const ContextMenuHandler*>(context))(sender, answer);
    *result = answer;
}

} // namespace

bool bannerWanted()
{
    return !qEnvironmentVariableIsSet("WENQUELL_BANNER_MODULE") ||
           !qEnvironmentVariable("WENQUELL_BANNER_MODULE").isEmpty();
}

bool canDrawBanner(QString* why)
{
    // OpenGL is loaded only now, when the browser is about to start.
    if (shareBrowserGraphics())
        return true;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return true;
    if (why)
        *why = QStringLiteral("没有可用的 OpenGL（显示平台 %1）").arg(platform);
    return false;
}

Banner create(QWidget* parent, const ContextMenuHandler* onContextMenu)
{
    char error[512] = {};
    void* control = nullptr;
    QWidget* widget = module().create(parent, contextMenuTrampoline,
                                      const_cast<ContextMenuHandler*>(onContextMenu), &control,
                                      error, sizeof(error));
    if (!widget)
        throw Exception(QString::fromUtf8(error));
    return {widget, static_cast<TWebBrowseEx*>(control)};
}

void prepareEngine()
{
    if (bannerWanted())
        prepareBrowserEngine();
}

QUrl checkedAddress(const QString& text)
{
    return browserAddress(text);
}

void navigate(QWidget* banner, const QUrl& address)
{
    char error[512] = {};
    if (!module().navigate(banner, address.toString(QUrl::FullyEncoded).toUtf8().constData(), error,
                           sizeof(error)))
        throw Exception(QString::fromUtf8(error));
}

} // namespace BannerLoader
