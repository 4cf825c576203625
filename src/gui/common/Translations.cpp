#include "gui/common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTreeView>

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

// Qt's file system model formats sizes and dates with the system locale, not the default one:
// under an English or C locale a file dialog would read "1.47 KiB" and "8 Dec 2026". These two
// columns are formatted again in the default (Hungarian) locale.
class HungarianFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == 1 && !files->isDir(source))
            return QLocale().formattedDataSize(files->size(source));
        if (index.column() == 3)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt sizes the date column for an English date; a Hungarian one is longer and would be cut.
void widenDateColumn(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>();
    if (!view)
        return;
    const QString longest = QLocale().toString(QDateTime(QDate(2000, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
    const int needed = view->fontMetrics().horizontalAdvance(longest + QStringLiteral("    "));
    if (view->header()->sectionSize(3) < needed)
        view->header()->resizeSection(3, needed);
}

// Every file dialog gets the columns as it comes up, the program's own and those the toolkit
// opens by itself (the print dialog's file to print into).
class FileDialogWatch : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        // A native dialog has no widgets and takes no proxy; it is left alone.
        if (event->type() == QEvent::Show) {
            auto* dialog = qobject_cast<QFileDialog*>(watched);
            if (dialog && !dialog->proxyModel()) {
                auto* columns = new HungarianFileColumns(dialog);
                dialog->setProxyModel(columns);
                if (dialog->proxyModel() == columns)
                    widenDateColumn(*dialog);
                else
                    delete columns;
            }
        }
        return false;
    }
};

} // namespace

QStringList Translations::searchFolders() {
    return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
            QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/gyvkt/translations")),
            QStringLiteral(GYVKT_INSTALLED_TRANSLATIONS_DIR)};
}

bool Translations::installHungarian(QCoreApplication& app) {
    // Dates, sizes and names the toolkit formats itself (a calendar's months, the page setup's
    // margins, the file dialogs' columns) follow too; the protocol's decimal separator is taken
    // from the system locale on purpose and stays the user's.
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    app.installEventFilter(new FileDialogWatch(&app));
    const bool qt = installCatalogue(app, QStringLiteral("qtbase"));
    // Installed last, so asked first: it fills what Qt's catalogue lacks and may reword it.
    const bool own = installCatalogue(app, QStringLiteral("gyvkt"));
    return qt && own;
}
