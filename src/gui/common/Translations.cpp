#include "gui/common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

bool installCatalogue(QCoreApplication& app, const QString& name) {
    auto* translator = new QTranslator(&app);
    for (const QString& folder : Translations::searchFolders()) {
        if (translator->load(QLocale(QLocale::Hungarian, QLocale::Hungary), name, QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    delete translator;
    return false;
}

} // namespace

QStringList Translations::searchFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/translations")),
            QStringLiteral(GYVKT_INSTALLED_TRANSLATIONS_DIR)};
}

bool Translations::installHungarian(QCoreApplication& app) {
    // Dates and names the toolkit formats itself (a calendar's months, the page setup's
    // margins) follow too; the protocol's decimal separator is taken from the system locale
    // on purpose and stays the user's.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    const bool qt = installCatalogue(app, QStringLiteral("qtbase"));
    // Installed last, so asked first: it fills what Qt's catalogue lacks and may reword it.
    const bool own = installCatalogue(app, QStringLiteral("gyvkt"));
    return qt && own;
}
