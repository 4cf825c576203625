#include "ScriptedPlatform.h"
#include "TestRoot.h"
#include "base/UserError.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/archive/ArchiveTable.h"
#include "gui/archive/TArchivum.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

ExaminationData exam(const QString& name, qint32 age, const QString& examiner, int marked) {
    ExaminationData d;
    d.personal.name = name;
    d.personal.age = age;
    d.personal.date = QStringLiteral("2024.05.06.");
    d.personal.examiner = examiner;
    for (int n = 0; n < marked; ++n)
        d.lines[static_cast<size_t>(n)].field(2) = n % 2 ? QStringLiteral("NE") : QStringLiteral("NINM");
    d.answers[0] = QStringLiteral("egy válasz\r\n");
    return d;
}

const QByteArray kBroken = "Csonka Csaba\r\n1x\r\n";

void prepareRoot(const TestRoot& root) {
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
    const auto put = [&](const char* name, const ExaminationData& d) {
        root.put(QStringLiteral("gy_vkt/archivum/") + QLatin1String(name), ExaminationFile::serialize(d));
    };
    put("KOVACS.kvx", exam(QStringLiteral("Kovács Ödön"), 9, QStringLiteral("Dr. Szabó Éva"), 20));
    put("NAGY.kvx", exam(QStringLiteral("Nagy Réka"), 12, QStringLiteral("Dr. Kovács Anna"), 22));
    put("KEVES.kvx", exam(QStringLiteral("Kiss Ünige"), 11, QStringLiteral("Dr. Szabó Éva"), 12));
    put("OREG.kvx", exam(QStringLiteral("Horváth Bence"), 15, QStringLiteral("Dr. Szabó Éva"), 24));
    root.put(QStringLiteral("gy_vkt/archivum/ROSSZ.kvx"), kBroken);
    for (int n = 1; n <= 24; ++n)
        root.put(QStringLiteral("gy_vkt/aktualis/%1.val").arg(n), QByteArray());
}

struct Archive {
    TestRoot root;
    std::unique_ptr<ProgramFixture> p;

    Archive() {
        prepareRoot(root);
        start();
    }
    void start() {
        p.reset();
        p = std::make_unique<ProgramFixture>(root);
        p->unlock();
    }
    TArchivum* window() const { return p->forms.archivum(); }
    QTableView* table() const { return p->child<QTableView>(window(), "Tabla"); }
    QLineEdit* search() const { return p->child<QLineEdit>(window(), "Kereses"); }
    QString count() const { return p->child<QLabel>(window(), "Darabszam")->text(); }
    QPushButton* button(const char* name) const { return p->child<QPushButton>(window(), name); }
    QString archived(const QString& name) const { return root.root().archiveFolder() + QLatin1Char('/') + name; }

    // Through the menu, as the examiner does; back once the listing is shown.
    bool open() const {
        p->trigger("Archivum1");
        return settle();
    }
    bool settle() const {
        QElapsedTimer waited;
        waited.start();
        while (window()->isListing() && waited.elapsed() < 10000)
            QTest::qWait(10);
        return !window()->isListing();
    }
    QStringList codes() const {
        QStringList shown;
        const QAbstractItemModel* m = table()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            shown << m->index(r, 0).data().toString();
        return shown;
    }
    int rowOf(const QString& code) const { return static_cast<int>(codes().indexOf(code)); }
    void select(const QString& code) const { table()->selectRow(rowOf(code)); }
    void clickHeader(int column) const {
        QHeaderView* header = table()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
    }
};

} // namespace

class TestArchiveWindow : public QObject {
    Q_OBJECT
private slots:
    void menuItemFollowsMegnyitasAndWaitsForThePassword();
    void searchFiltersAsOneTypes_data();
    void searchFiltersAsOneTypes();
    void headerClickSorts();
    void malformedFileMarkedAndLeftAlone();
    void openGoesThroughThePersonalDataWindow_data();
    void openGoesThroughThePersonalDataWindow();
    void protocolMadeAndOpened();
    void protocolRefusedLikeTheFinishedProtocol();
    void fileAppearingWhileOpenIsListed();
    void placeRemembered();
    void listShowsItsTopAfterSearchAndSort();
};

void TestArchiveWindow::menuItemFollowsMegnyitasAndWaitsForThePassword() {
    TestRoot root;
    prepareRoot(root);
    ProgramFixture p(root);
    QAction* item = p.action("Archivum1");
    QVERIFY(!item->isEnabled());
    const QList<QAction*> file = p.forms.fomenu->findChild<QMenu*>(QStringLiteral("nn1"))->actions();
    QCOMPARE(file.indexOf(item), file.indexOf(p.action("Betlt1")) + 1);
    QCOMPARE(item->text(), QStringLiteral("Archívum…"));
    QCOMPARE(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    item->trigger();
    QVERIFY(!p.forms.archivum()->isVisible());

    p.unlock();
    QVERIFY(item->isEnabled());
    Archive a;
    QVERIFY(a.open());
    QVERIFY(a.window()->isVisible());
    QCOMPARE(a.codes(), (QStringList{QStringLiteral("KEVES"), QStringLiteral("KOVACS"), QStringLiteral("NAGY"),
                                     QStringLiteral("OREG"), QStringLiteral("ROSSZ")}));
    QCOMPARE(a.count(), QStringLiteral("5 vizsgálat (1 hibás fájl)"));
    QVERIFY(a.p->platform.messages.isEmpty());
}

void TestArchiveWindow::searchFiltersAsOneTypes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("count");
    QTest::newRow("name or examiner, no accents")
        << QStringLiteral("kovacs") << QStringList{QStringLiteral("KOVACS"), QStringLiteral("NAGY")}
        << QStringLiteral("2 látható, összesen 5 vizsgálat (1 hibás fájl)");
    QTest::newRow("capitals without accents") << QStringLiteral("ODON") << QStringList{QStringLiteral("KOVACS")}
                                              << QStringLiteral("1 látható, összesen 5 vizsgálat (1 hibás fájl)");
    QTest::newRow("examiner") << QStringLiteral("szabo eva")
                              << QStringList{QStringLiteral("KEVES"), QStringLiteral("KOVACS"), QStringLiteral("OREG")}
                              << QStringLiteral("3 látható, összesen 5 vizsgálat (1 hibás fájl)");
    QTest::newRow("none") << QStringLiteral("zzz") << QStringList()
                          << QStringLiteral("0 látható, összesen 5 vizsgálat (1 hibás fájl)");
}

void TestArchiveWindow::searchFiltersAsOneTypes() {
    QFETCH(QString, typed);
    Archive a;
    QVERIFY(a.open());
    QTest::keyClicks(a.search(), typed);
    QTEST(a.codes(), "shown");
    QTEST(a.count(), "count");
    // What is shown can be opened at once: the first row is selected when the old one went.
    QCOMPARE(a.button("Megnyitas")->isEnabled(), !a.codes().isEmpty());
    a.search()->clear();
    QCOMPARE(a.codes().size(), 5);
    QCOMPARE(a.count(), QStringLiteral("5 vizsgálat (1 hibás fájl)"));
}

void TestArchiveWindow::headerClickSorts() {
    Archive a;
    QVERIFY(a.open());
    // A malformed file has no age: it comes before every age.
    a.clickHeader(ArchiveTableModel::Age);
    const QStringList byAge{QStringLiteral("ROSSZ"), QStringLiteral("KOVACS"), QStringLiteral("KEVES"),
                            QStringLiteral("NAGY"), QStringLiteral("OREG")};
    QCOMPARE(a.codes(), byAge);
    a.clickHeader(ArchiveTableModel::Age);
    QStringList reversed = byAge;
    std::reverse(reversed.begin(), reversed.end());
    QCOMPARE(a.codes(), reversed);
    // Names sort with their accents dropped: Ödön among the O's, Ünige among the U's.
    a.clickHeader(ArchiveTableModel::Name);
    QCOMPARE(a.codes(), (QStringList{QStringLiteral("ROSSZ"), QStringLiteral("OREG"), QStringLiteral("KEVES"),
                                     QStringLiteral("KOVACS"), QStringLiteral("NAGY")}));
    // Marked pictures: 0 (malformed), 12, 20, 22, 24.
    a.clickHeader(ArchiveTableModel::Scored);
    QCOMPARE(a.codes(), (QStringList{QStringLiteral("ROSSZ"), QStringLiteral("KEVES"), QStringLiteral("KOVACS"),
                                     QStringLiteral("NAGY"), QStringLiteral("OREG")}));
    // Sorting keeps the filter.
    QTest::keyClicks(a.search(), QStringLiteral("szabo"));
    QCOMPARE(a.codes(), (QStringList{QStringLiteral("KEVES"), QStringLiteral("KOVACS"), QStringLiteral("OREG")}));
}

void TestArchiveWindow::malformedFileMarkedAndLeftAlone() {
    Archive a;
    QVERIFY(a.open());
    const QString path = a.archived(QStringLiteral("ROSSZ.kvx"));
    QString readerMessage;
    try {
        ExaminationFile::read(path);
    } catch (const UserError& e) {
        readerMessage = e.text();
    }
    QVERIFY(!readerMessage.isEmpty());
    const QModelIndex name = a.table()->model()->index(a.rowOf(QStringLiteral("ROSSZ")), 1);
    QCOMPARE(name.data().toString(), QStringLiteral("hibás fájl"));
    QCOMPARE(name.data(Qt::ToolTipRole).toString(), readerMessage);

    // Opening it says what the reader says, as "Megnyitás" would, and changes nothing.
    a.select(QStringLiteral("ROSSZ"));
    a.button("Megnyitas")->click();
    QCOMPARE(a.p->platform.messages, QStringList{readerMessage});
    QVERIFY(a.window()->isVisible());
    QVERIFY(a.p->session.personal().name.isEmpty());
    a.button("Jegyzokonyv")->click();
    QCOMPARE(a.p->platform.messages, (QStringList{readerMessage, readerMessage}));
    QCOMPARE(readFileBytes(path), kBroken);
}

void TestArchiveWindow::openGoesThroughThePersonalDataWindow_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("button") << 0;
    QTest::newRow("Enter in the table") << 1;
    QTest::newRow("Enter in the search field") << 2;
}

void TestArchiveWindow::openGoesThroughThePersonalDataWindow() {
    QFETCH(int, how);
    Archive a;
    QVERIFY(a.open());
    const QByteArray before = readFileBytes(a.archived(QStringLiteral("KOVACS.kvx")));
    QString nameShown;
    ModalWatch watch(a.p->forms.szemAd(), [&] {
        nameShown = a.p->child<QLineEdit>(a.p->forms.szemAd(), "Edit1")->text();
        a.p->child<QPushButton>(a.p->forms.szemAd(), "BitBtn1")->click();
    });
    if (how == 2) {
        QTest::keyClicks(a.search(), QStringLiteral("odon"));
        QTest::keyClick(a.search(), Qt::Key_Return);
    } else {
        a.select(QStringLiteral("KOVACS"));
        if (how == 0)
            a.button("Megnyitas")->click();
        else
            QTest::keyClick(a.table(), Qt::Key_Return);
    }
    QVERIFY(watch.seen);
    QCOMPARE(nameShown, QStringLiteral("Kovács Ödön"));
    QCOMPARE(a.p->session.personal().code, QStringLiteral("KOVACS"));
    QCOMPARE(a.p->session.personal().age, 9);
    QCOMPARE(a.p->session.coding().markedPictureCount(), 20);
    QCOMPARE(readFileBytes(a.p->testRoot.root().answerFile(1)), QByteArray("egy v\xe1lasz\r\n"));
    // Like the open dialog, the window steps aside for the examination it opened.
    QVERIFY(!a.window()->isVisible());
    QVERIFY(a.p->platform.messages.isEmpty());
    QCOMPARE(readFileBytes(a.archived(QStringLiteral("KOVACS.kvx"))), before);
}

void TestArchiveWindow::protocolMadeAndOpened() {
    Archive a;
    QVERIFY(a.open());
    const QString page = a.root.root().protocolFile(QStringLiteral("NAGY"));
    // A page of that code newer than the file, but another examination's: it is made anew.
    a.root.put(QStringLiteral("gy_vkt/html/NAGY.html"), "egy m\xe1sik gyerek jegyz\xf5k\xf6nyve");
    a.select(QStringLiteral("NAGY"));
    a.button("Jegyzokonyv")->click();
    QCOMPARE(a.p->platform.openedDocuments, QStringList{page});
    const QByteArray html = readFileBytes(page);
    QCOMPARE(html.count("\r\n"), 260);
    QVERIFY(html.contains("Nagy R\xe9ka"));
    QVERIFY(html.contains("<TD><B>GCR sz\xe1zal\xe9k: </B>"));
    // Made as "Kész jegyzőkönyv" makes it: the profile picture beside the page.
    QVERIFY(QImage(a.root.root().profileChartFile(QStringLiteral("NAGY"))).width() > 0);
    // The examination in hand is not the one shown.
    QVERIFY(a.p->session.personal().name.isEmpty());
    QVERIFY(a.window()->isVisible());
    QVERIFY(a.p->platform.messages.isEmpty());

    // Asked again, the same page is shown as it is.
    const QDateTime written = QFileInfo(page).lastModified();
    QTest::qWait(20);
    a.button("Jegyzokonyv")->click();
    QCOMPARE(a.p->platform.openedDocuments, (QStringList{page, page}));
    QCOMPARE(QFileInfo(page).lastModified(), written);
    QCOMPARE(readFileBytes(page), html);
}

void TestArchiveWindow::protocolRefusedLikeTheFinishedProtocol() {
    Archive a;
    QVERIFY(a.open());
    QString shown;
    {
        ModalWatch watch(a.p->forms.kevesValasz(), [&] {
            shown = a.p->child<QLabel>(a.p->forms.kevesValasz(), "Label1")->text();
            a.p->child<QPushButton>(a.p->forms.kevesValasz(), "OKBtn")->click();
        });
        a.select(QStringLiteral("KEVES"));
        a.button("Jegyzokonyv")->click();
        QVERIFY(watch.seen);
    }
    QCOMPARE(shown, QStringLiteral("Kevés a lejelölt válasz, mindössze 12."));
    QVERIFY(!a.root.exists(QStringLiteral("gy_vkt/html/KEVES.html")));

    a.select(QStringLiteral("OREG"));
    a.button("Jegyzokonyv")->click();
    QCOMPARE(a.p->platform.messages,
             QStringList{QStringLiteral(
                 "Az életkor (15) kívül esik a 7–14 éves normatartományon; a jegyzőkönyv nem készíthető el.")});
    QVERIFY(!a.root.exists(QStringLiteral("gy_vkt/html/OREG.html")));
    QVERIFY(a.p->platform.openedDocuments.isEmpty());
}

void TestArchiveWindow::fileAppearingWhileOpenIsListed() {
    Archive a;
    QVERIFY(a.open());
    a.select(QStringLiteral("NAGY"));
    // Copied in by hand...
    a.root.put(QStringLiteral("gy_vkt/archivum/ABA.kvx"),
               ExaminationFile::serialize(exam(QStringLiteral("Aba Anna"), 8, QStringLiteral("Dr. X"), 18)));
    QTRY_VERIFY_WITH_TIMEOUT(a.codes().contains(QStringLiteral("ABA")), 5000);
    QCOMPARE(a.count(), QStringLiteral("6 vizsgálat (1 hibás fájl)"));
    // ...without losing the examiner's place in the list.
    QCOMPARE(a.window()->selectedPath(), a.archived(QStringLiteral("NAGY.kvx")));

    // ...or saved by the program.
    a.p->platform.setNextFileName(a.archived(QStringLiteral("MENTETT.kvx")));
    a.p->trigger("Ment1");
    QVERIFY(a.p->platform.messages.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(a.codes().contains(QStringLiteral("MENTETT")), 5000);
    // A file removed goes from the list.
    QVERIFY(QFile::remove(a.archived(QStringLiteral("KEVES.kvx"))));
    QTRY_VERIFY_WITH_TIMEOUT(!a.codes().contains(QStringLiteral("KEVES")), 5000);
    QCOMPARE(a.count(), QStringLiteral("6 vizsgálat (1 hibás fájl)"));
}

void TestArchiveWindow::placeRemembered() {
    Archive a;
    QVERIFY(a.open());
    a.window()->move(40, 50);
    a.window()->resize(700, 400);
    a.button("Bezaras")->click();
    QVERIFY(!a.window()->isVisible());
    QVERIFY(a.root.get(QStringLiteral("gy_vkt/archivum.cfg")).startsWith("Archivum="));

    a.start();
    QVERIFY(a.open());
    QCOMPARE(a.window()->pos(), QPoint(40, 50));
    QCOMPARE(a.window()->size(), QSize(700, 400));
    QVERIFY(a.p->platform.messages.isEmpty());
}

void TestArchiveWindow::listShowsItsTopAfterSearchAndSort() {
    // More rows than the window shows: the view and its scroll bar must agree on the top row,
    // and the selected examination must stay in sight, whatever the search and the sort did.
    Archive a;
    for (int n = 1; n <= 60; ++n) {
        const QString code = (n <= 25 ? QStringLiteral("KO%1") : QStringLiteral("A%1")).arg(n, 3, 10, QLatin1Char('0'));
        a.root.put(QStringLiteral("gy_vkt/archivum/") + code + QStringLiteral(".kvx"),
                   ExaminationFile::serialize(exam(n <= 25 ? QStringLiteral("Kovács Ödön") : QStringLiteral("Más Név"),
                                                   10, QStringLiteral("Dr. X"), 18 + n % 7)));
    }
    QVERIFY(a.open());
    a.window()->resize(900, 400);
    QTest::qWait(50);
    QTableView* t = a.table();
    const auto consistent = [&] {
        const QModelIndexList selected = t->selectionModel()->selectedRows();
        const int top = t->rowAt(0);
        return top == t->verticalScrollBar()->value() && !selected.isEmpty() &&
               t->visualRect(selected.first()).intersects(t->viewport()->rect());
    };
    a.select(QStringLiteral("A040"));
    QTest::keyClicks(a.search(), QStringLiteral("kovacs odon"));
    QCOMPARE(t->model()->rowCount(), 26);
    QVERIFY(consistent());
    a.search()->clear();
    QVERIFY(consistent());
    a.clickHeader(ArchiveTableModel::GcrPercent);
    a.clickHeader(ArchiveTableModel::GcrPercent);
    QVERIFY(consistent());
    t->scrollToTop();
    QCOMPARE(t->rowAt(0), 0);
}

QTEST_MAIN(TestArchiveWindow)
#include "tst_archive_window.moc"
