#include "gui/common/QtPlatform.h"
#include "gui/common/Translations.h"
#include "gui/paper/PrintDialog.h"
#include "render/NumberText.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QMutex>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>

#include <functional>
#include <set>
#include <tuple>

namespace {

using Asked = std::tuple<QByteArray, QByteArray, QByteArray, int>;

// Asked before every other catalogue, it notes what the toolkit wants translated and answers
// nothing, so the catalogues behind it still decide what is shown. The file system model asks
// from its own thread.
class RecordingTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        QMutexLocker lock(&m_mutex);
        asked.insert(Asked(context, source, disambiguation, n));
        return QString();
    }
    bool isEmpty() const override { return false; }
    mutable std::set<Asked> asked;

private:
    mutable QMutex m_mutex;
};

int g_modalsSeen = 0;

// Calls `act` once a modal window other than `below` has started its own event loop.
void onNextModal(QWidget* below, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == below || !modal->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        ++g_modalsSeen;
        act(modal);
    });
    poll->start(10);
}

// Shows every tab, then closes the window as its Escape would.
void showEveryTabAndClose(QWidget* dialog) {
    for (QTabWidget* tabs : dialog->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QTest::qWait(20);
        }
    }
    if (auto* box = qobject_cast<QMessageBox*>(dialog); box && box->escapeButton())
        box->escapeButton()->click();
    else
        qobject_cast<QDialog*>(dialog)->reject();
}

// A folder with a subfolder and a 1500-byte examination; the file dialog's row of the
// examination once it is listed with its size.
struct ListedFolder {
    QTemporaryDir dir;
    ListedFolder() {
        QDir(dir.path()).mkdir(QStringLiteral("archivum"));
        QFile file(dir.filePath(QStringLiteral("ABC.kvx")));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1500, 'x'));
    }
    static QModelIndex examination(QWidget* dialog) {
        const auto* view = dialog->findChild<QTreeView*>();
        QModelIndex found;
        const bool listed = view && QTest::qWaitFor([&] {
                                const QModelIndexList rows =
                                    view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole,
                                                         QStringLiteral("ABC.kvx"));
                                found = rows.isEmpty() ? QModelIndex() : rows.first();
                                return found.isValid() && !found.siblingAtColumn(1).data().toString().isEmpty();
                            });
        return listed ? found : QModelIndex();
    }
};

} // namespace

class TestDialogLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(Translations::installHungarian(*qApp)); }

    void everyShownToolkitTextIsHungarian() {
        RecordingTranslator recorder;
        QCoreApplication::installTranslator(&recorder);
        ListedFolder folder;
        Platform::FileDialog files;
        files.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*");
        files.initialFolder = folder.dir.path();
        onNextModal(nullptr, [](QWidget* dialog) {
            ListedFolder::examination(dialog);
            showEveryTabAndClose(dialog);
        });
        QtPlatform().openFileName(files);

        // The print dialog with its options shown, then the printer's properties.
        onNextModal(nullptr, [](QWidget* dialog) {
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text().endsWith(QStringLiteral(">>")))
                    button->click();
            }
            onNextModal(dialog, showEveryTabAndClose);
            if (auto* properties = dialog->findChild<QPushButton*>(QStringLiteral("properties")))
                properties->click();
            showEveryTabAndClose(dialog);
        });
        QtPrintDialog().print(QStringLiteral("ABC"), [](QPagedPaintDevice&) {});

        // Qt shows the page-setup dialog for a system printer only (the properties' first tab
        // holds the same page setup); its texts are all asked for when it is built.
        QPrinter printer;
        QPageSetupDialog pageSetup(&printer);

        onNextModal(nullptr, showEveryTabAndClose);
        QMessageBox::question(nullptr, QStringLiteral("gyermek VKT"), QStringLiteral("Menti?"),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCoreApplication::removeTranslator(&recorder);
        QCOMPARE(g_modalsSeen, 4);

        const QList<QTranslator*> catalogues = qApp->findChildren<QTranslator*>();
        QStringList untranslated;
        for (const auto& asked : recorder.asked) {
            const auto& [context, source, disambiguation, n] = asked;
            // A source without a letter ("%1", "...", "<<") reads the same in every language.
            if (!QString::fromUtf8(source).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                continue;
            const bool hungarian = std::any_of(catalogues.begin(), catalogues.end(), [&](const QTranslator* t) {
                const auto& [c, s, d, count] = asked;
                return !t->translate(c.constData(), s.constData(), d.constData(), count).isEmpty();
            });
            if (!hungarian)
                untranslated << QString::fromUtf8(context + '|' + source + '|' + disambiguation);
        }
        QVERIFY(recorder.asked.size() > 100);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // The test runs under the C locale: sizes and dates still read as in Hungarian, in a file
    // dialog the toolkit opens by itself too (the print dialog's file to print into), while the
    // protocol's decimal separator stays the user's.
    void fileDialogFormatsInHungarianProtocolKeepsUserSeparator() {
        ListedFolder folder;
        QFileDialog dialog(nullptr, QString(), folder.dir.path());
        QString size;
        QString modified;
        onNextModal(nullptr, [&](QWidget* shown) {
            const QModelIndex examination = ListedFolder::examination(shown);
            size = examination.siblingAtColumn(1).data().toString();
            modified = examination.siblingAtColumn(3).data().toString();
            showEveryTabAndClose(shown);
        });
        dialog.exec();
        QVERIFY2(size.contains(QLatin1Char(',')) && !size.contains(QLatin1Char('.')), qPrintable(size));
        const QDate day = QFileInfo(folder.dir.filePath(QStringLiteral("ABC.kvx"))).lastModified().date();
        QVERIFY2(modified.startsWith(QString::number(day.year()) + QStringLiteral(". ")), qPrintable(modified));
        QCOMPARE(userDecimalSeparator(), QLatin1Char('.'));
    }
};

QTEST_MAIN(TestDialogLanguage)
#include "tst_dialoglanguage.moc"
