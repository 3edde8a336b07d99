#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// Qt's own texts (the buttons of its dialogs, the menus of its edit boxes) in Chinese, from
// Qt's translations (Debian: qt6-translations-l10n). Without them Qt speaks English.
namespace Translations {

// For a Chinese locale, installs Qt's translations for it and returns them (owned by the
// application); any other locale keeps Qt's English, and so does a machine without the
// translations: null then.
QTranslator* installQtTranslations(const QLocale& locale = QLocale::system());

// The text of the program's message boxes' button: the program speaks Chinese whatever the
// locale, so its boxes say "确定" as a Chinese desktop does (Qt's own word for it), or Qt's
// "OK" when the translations are not there.
QString okButtonText();

} // namespace Translations
