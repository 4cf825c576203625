#include "core/report/NumberText.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Translations.h"
#include "gui/paper/PrintDialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QMutex>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
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
        m_asked.insert(Asked(context, source, disambiguation, n));
        return QString();
    }
    bool isEmpty() const override { return false; }
    std::set<Asked> asked() const {
        QMutexLocker lock(&m_mutex);
        return m_asked;
    }

private:
    mutable QMutex m_mutex;
    mutable std::set<Asked> m_asked;
};

// Calls `act` once a modal window other than `below` has started its own event loop.
void onNextModal(QWidget* below, std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == below || !modal->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(10);
}

// Shows every tab and has every list and table deliver what it displays, headers included.
void showEverything(QWidget* dialog) {
    for (QTabWidget* tabs : dialog->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QTest::qWait(20);
        }
    }
    for (const QAbstractItemView* view : dialog->findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        if (!model)
            continue;
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
            model->headerData(column, Qt::Horizontal);
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row)
                model->data(model->index(row, column, view->rootIndex()));
        }
    }
}

void click(QWidget* dialog, const char* name) {
    if (auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(name)))
        button->click();
}

void close(QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->escapeButton())
        box->escapeButton()->click();
    else
        qobject_cast<QDialog*>(modal)->reject();
}

// A folder with a subfolder and a 1500-byte examination, as the file dialogs list it.
struct ListedFolder {
    QTemporaryDir dir;
    ListedFolder() {
        QDir(dir.path()).mkdir(QStringLiteral("archivum"));
        QFile file(dir.filePath(QStringLiteral("ABC.kvx")));
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(1500, 'x'));
    }
};

// The file dialog's detail view once the examination is listed, with its row.
QModelIndex listedExamination(QWidget* dialog) {
    auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return {};
    QModelIndex found;
    const bool listed = QTest::qWaitFor([&] {
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            const QModelIndex name = model->index(row, 0, view->rootIndex());
            if (name.data().toString() == QStringLiteral("ABC.kvx") &&
                !name.siblingAtColumn(1).data().toString().isEmpty())
                found = name;
        }
        return found.isValid();
    });
    return listed ? found : QModelIndex();
}

} // namespace

class TestDialogLanguage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(Translations::installHungarian(*qApp)); }

    void everyShownToolkitTextIsHungarian() {
        RecordingTranslator recorder;
        QCoreApplication::installTranslator(&recorder);
        QtPlatform platform;
        ListedFolder folder;
        Platform::FileDialog files;
        files.filter = QStringLiteral("gyermek VKT vizsg. eredm.|*.kvx|minden fájl|*.*");
        files.initialFolder = folder.dir.path();
        // Every dialog below counts itself in, so one that never came up cannot pass unseen.
        int shown = 0;

        onNextModal(nullptr, [&shown](QWidget* dialog) {
            ++shown;
            listedExamination(dialog);
            showEverything(dialog);
            close(dialog);
        });
        platform.openFileName(files);

        // Saving over an existing examination asks first.
        files.fileName = QStringLiteral("ABC.kvx");
        files.overwritePrompt = true;
        onNextModal(nullptr, [&shown](QWidget* dialog) {
            ++shown;
            listedExamination(dialog);
            showEverything(dialog);
            onNextModal(dialog, [&shown, dialog](QWidget* question) {
                ++shown;
                close(question);
                close(dialog);
            });
            qobject_cast<QDialog*>(dialog)->accept();
        });
        platform.saveFileName(files);

        // The print dialog with its options shown, the printer's properties and the file to print
        // into.
        onNextModal(nullptr, [&shown](QWidget* dialog) {
            ++shown;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text().endsWith(QStringLiteral(">>")))
                    button->click();
            }
            showEverything(dialog);
            onNextModal(dialog, [&shown](QWidget* properties) {
                ++shown;
                showEverything(properties);
                close(properties);
            });
            click(dialog, "properties");
            onNextModal(dialog, [&shown](QWidget* browse) {
                ++shown;
                showEverything(browse);
                close(browse);
            });
            click(dialog, "fileBrowser");
            close(dialog);
        });
        QtPrintDialog().print(QStringLiteral("ABC"), [](QPagedPaintDevice&) {});

        // Qt shows the page-setup dialog for a system printer only (the properties' first tab
        // holds the same page setup); its texts are all asked for when it is built.
        QPrinter printer;
        QPageSetupDialog pageSetup(&printer);
        showEverything(&pageSetup);

        onNextModal(nullptr, [&shown](QWidget* box) {
            ++shown;
            close(box);
        });
        QMessageBox::question(nullptr, QStringLiteral("gyermek VKT"), QStringLiteral("Menti?"),
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCoreApplication::removeTranslator(&recorder);
        QCOMPARE(shown, 7);

        const QList<QTranslator*> catalogues = qApp->findChildren<QTranslator*>();
        QStringList untranslated;
        for (const auto& [context, source, disambiguation, n] : recorder.asked()) {
            // A source without a letter ("%1", "...", "<<") reads the same in every language.
            if (!QString::fromUtf8(source).contains(QRegularExpression(QStringLiteral("[A-Za-z]"))))
                continue;
            const bool hungarian = std::any_of(catalogues.begin(), catalogues.end(), [&](const QTranslator* t) {
                return !t->translate(context.constData(), source.constData(), disambiguation.constData(), n).isEmpty();
            });
            if (!hungarian)
                untranslated << QString::fromUtf8(context + '|' + source + '|' + disambiguation);
        }
        QVERIFY(recorder.asked().size() > 100);
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    // The test runs under the C locale: sizes and dates still read as in Hungarian, in a file
    // dialog the toolkit opens by itself too (the print dialog's file to print into), while the
    // protocol's decimal separator stays the user's.
    void fileDialogFormatsInHungarianProtocolKeepsUserSeparator() {
        ListedFolder folder;
        QFileDialog dialog(nullptr, QString(), folder.dir.path());
        dialog.setViewMode(QFileDialog::Detail);
        QString size;
        QString modified;
        onNextModal(nullptr, [&](QWidget* shown) {
            const QModelIndex examination = listedExamination(shown);
            size = examination.siblingAtColumn(1).data().toString();
            modified = examination.siblingAtColumn(3).data().toString();
            close(shown);
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
