#include "Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

bool loadQtBase(QTranslator& translator, const QLocale& locale)
{
    return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

} // namespace

QTranslator* Translations::installQtTranslations(const QLocale& locale)
{
    if (locale.language() != QLocale::Chinese)
        return nullptr;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!loadQtBase(*translator, locale) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

QString Translations::okButtonText()
{
    static const QString text = [] {
        QTranslator chinese;
        const QString ok = loadQtBase(chinese, QLocale(QLocale::Chinese, QLocale::China))
                               ? chinese.translate("QPlatformTheme", "OK")
                               : QString();
        return ok.isEmpty() ? QStringLiteral("OK") : ok;
    }();
    return text;
}
