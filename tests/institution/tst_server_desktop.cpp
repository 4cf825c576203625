// The program's windows against the real server: a save goes up by itself, a stopped server
// leaves the program working and the files waiting until it is back, a lead's view holds the
// team's examinations only, and an examination opened from the server is the uploaded file.
#include "CliRun.h"
#include "TestServer.h"
#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/ProgramFixture.h"
#include "gui/archive/TArchivum.h"
#include "gui/institution/InstitutionDesktop.h"
#include "gui/institution/TIntezmeny.h"
#include "gui/institution/TKiszolgaloJelszo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

namespace {

// Long enough for an upload over the socket on a busy machine.
constexpr int kWait = 15000;

QString fileName(int n) {
    return QStringLiteral("K%1.kvx").arg(n);
}

// A program on its own data root whose GYVKT_DB names the server and the login.
struct Desktop {
    std::unique_ptr<ProgramFixture> p;

    Desktop(const QString& conninfo, const std::function<void(TestRoot&)>& prepare = {}) {
        qputenv("GYVKT_DB", conninfo.toUtf8());
        p = std::make_unique<ProgramFixture>([&](TestRoot& root) {
            root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
            if (prepare)
                prepare(root);
        });
        p->program->start();
        // What the windows said of the test root's missing pictures.
        p->platform.messages.clear();
        client().setRetryInterval(200);
    }
    InstitutionDesktop* desktop() const { return qobject_cast<InstitutionDesktop*>(p->program->institution()); }
    InstitutionClient& client() const { return desktop()->client(); }
    QString archived(const QString& name) const { return p->testRoot.root().archiveFolder() + QLatin1Char('/') + name; }
    QToolButton* indicator() const { return p->child<QToolButton>(p->forms.fomenu, "Intezmeny"); }
    // Saved from the menu, as the examiner does, under the code's file name.
    void save(int n) const {
        const ExaminationData data = sampleExamination(n);
        p->session.load(data);
        p->session.setCode(QStringLiteral("K%1").arg(n));
        p->platform.setNextFileName(archived(fileName(n)));
        p->trigger("Ment1");
    }
    // The "Intézmény" column of a file in the archive window's own list, once it is listed; the
    // window follows the folder by itself.
    QString column(const QString& name) const {
        TArchivum* archive = p->forms.archivum();
        if (!archive->isVisible())
            archive->showArchive();
        QTableView* table = p->child<QTableView>(archive, "Tabla");
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            const QModelIndex index = table->model()->index(r, ArchiveTableModel::Institution);
            if (index.data(ArchiveTableModel::PathRole).toString().endsWith(QLatin1Char('/') + name))
                return index.data().toString();
        }
        return QString();
    }
    QTableView* serverView() const {
        TArchivum* archive = p->forms.archivum();
        archive->showArchive();
        p->child<QTabWidget>(archive, "Nezetek")->setCurrentIndex(1);
        return p->child<QTableView>(archive, "TablaIntezmeny");
    }
};

} // namespace

class ServerDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup() { qunsetenv("GYVKT_DB"); }
    void saveGoesUpAndWaitsWhileTheServerIsDown();
    void passwordAskedWithoutAKeyring();
    void leadSeesTheTeamOnly();
    void openedFromTheServerByteForByte_data();
    void openedFromTheServerByteForByte();
    void researcherExportsFromTheServer();

private:
    // Examinations on the server as SQL sees them: "owner|file" lines.
    QStringList stored() const;
    void upload(const QString& login, int n) const;
    TestServer m_server;
};

void ServerDesktopTest::initTestCase() {
    m_server.newDatabase();
    m_server.addTeam(QStringLiteral("Észak"));
    m_server.addTeam(QStringLiteral("Dél"));
    m_server.addUser(QStringLiteral("anna"), QStringLiteral("examiner"), QStringLiteral("Észak"));
    m_server.addUser(QStringLiteral("bela"), QStringLiteral("lead"), QStringLiteral("Észak"));
    m_server.addUser(QStringLiteral("cili"), QStringLiteral("examiner"), QStringLiteral("Dél"));
    m_server.addUser(QStringLiteral("rita"), QStringLiteral("researcher"));
}

QStringList ServerDesktopTest::stored() const {
    QStringList rows = runSql(m_server.ownerInfo(), QStringLiteral("SELECT m.login, e.file_name FROM gyvkt.examination "
                                                                   "e JOIN gyvkt.member m ON m.id = e.owner_id"))
                           .rows;
    rows.sort();
    return rows;
}

// Through the command line, from a computer of the login's own.
void ServerDesktopTest::upload(const QString& login, int n) const {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    ExaminationFile::write(root.root().archiveFolder() + QLatin1Char('/') + fileName(n), sampleExamination(n));
    const CliRun r = runCli({QStringLiteral("sync"), QStringLiteral("--root"), root.path(), QStringLiteral("--db"),
                             m_server.socketInfo(login)});
    QVERIFY2(r.status == 0, r.err.constData());
}

// Fault: the upload waits for a later start, the program blocks or asks while the server is
// down, or a file saved then is lost for the server.
void ServerDesktopTest::saveGoesUpAndWaitsWhileTheServerIsDown() {
    Desktop d(m_server.socketInfo(QStringLiteral("anna")));
    d.p->unlock();
    d.save(1);
    const QString anna = m_server.login(QStringLiteral("anna"));
    QTRY_VERIFY_WITH_TIMEOUT(stored().contains(anna + QStringLiteral("|K1.kvx")), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(d.column(fileName(1)), QStringLiteral("feltöltve"), kWait);
    QVERIFY(d.indicator()->text().isEmpty());

    m_server.halt();
    // Back up for the next tests whatever this one finds.
    std::unique_ptr<void, std::function<void(void*)>> halted(this, [this](void*) { m_server.resume(); });
    d.save(2);
    QTRY_COMPARE_WITH_TIMEOUT(d.indicator()->text(), QStringLiteral("Intézmény: feltöltés vár"), kWait);
    QVERIFY2(d.indicator()->toolTip().contains(QStringLiteral("nem érhető el")), qPrintable(d.indicator()->toolTip()));
    QTRY_COMPARE_WITH_TIMEOUT(d.column(fileName(2)), QStringLiteral("vár"), kWait);
    QCOMPARE(d.column(fileName(1)), QStringLiteral("feltöltve"));
    // Working on goes on: another save is written at once, and nothing was put in the way.
    d.save(3);
    QVERIFY(QFile::exists(d.archived(fileName(3))));
    QVERIFY2(d.p->platform.messages.isEmpty(), qPrintable(d.p->platform.messages.join(QLatin1Char('\n'))));

    halted.reset();
    QTRY_VERIFY_WITH_TIMEOUT(stored().contains(anna + QStringLiteral("|K2.kvx")) &&
                                 stored().contains(anna + QStringLiteral("|K3.kvx")),
                             kWait);
    QTRY_COMPARE_WITH_TIMEOUT(d.column(fileName(2)), QStringLiteral("feltöltve"), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(d.indicator()->text().isEmpty(), kWait);
}

// Fault: no keyring stops the uploads, the password ends up in a file of ours, or the person is
// not told that it could not be kept.
void ServerDesktopTest::passwordAskedWithoutAKeyring() {
    const QString conninfo =
        m_server.socketInfo(QStringLiteral("anna")).remove(QStringLiteral(" password=") + TestServer::password());
    Desktop d(conninfo, [](TestRoot& root) {
        root.put(QStringLiteral("gy_vkt/intezmeny.txt"), "jelszo_megjegyzese=igen\r\n");
        ExaminationFile::write(root.root().archiveFolder() + QStringLiteral("/K4.kvx"), sampleExamination(4));
    });
    TKiszolgaloJelszo* window = d.desktop()->passwordWindow();
    ModalWatch watch(window, [&] {
        QVERIFY(d.p->child<QCheckBox>(window, "JelszoMegjegyzese")->isChecked());
        d.p->child<QLineEdit>(window, "Jelszo")->setText(TestServer::password());
        d.p->child<QPushButton>(window, "Rendben")->click();
    });
    d.p->unlock();
    QTRY_VERIFY_WITH_TIMEOUT(watch.seen, kWait);
    QTRY_VERIFY_WITH_TIMEOUT(stored().contains(m_server.login(QStringLiteral("anna")) + QStringLiteral("|K4.kvx")),
                             kWait);
    QTRY_VERIFY_WITH_TIMEOUT(!d.p->platform.messages.isEmpty(), kWait);
    QVERIFY2(d.p->platform.messages.first().startsWith(QStringLiteral("A jelszót a rendszer kulcstartója nem")),
             qPrintable(d.p->platform.messages.first()));
    const QByteArray settings = d.p->testRoot.get(QStringLiteral("gy_vkt/intezmeny.txt"));
    QVERIFY(!settings.contains(TestServer::password().toUtf8()));
    QVERIFY(settings.contains("jelszo_megjegyzese=nem"));

    // The settings' test says who the login is, with the password of the run.
    TIntezmeny* settingsWindow = d.desktop()->settingsWindow();
    QString said;
    ModalWatch test(settingsWindow, [&] {
        d.p->child<QPushButton>(settingsWindow, "Proba")->click();
        QLabel* result = d.p->child<QLabel>(settingsWindow, "Eredmeny");
        QElapsedTimer waited;
        waited.start();
        while (!result->text().contains(QStringLiteral("Szerepkör")) && waited.elapsed() < kWait)
            QTest::qWait(20);
        said = result->text();
        settingsWindow->reject();
    });
    settingsWindow->edit();
    QVERIFY2(said.contains(QStringLiteral("Szerepkör: vizsgálatvezető (csoport: Észak)")), qPrintable(said));
}

// Fault: the view lists what the server would not give, or misses the team's examinations.
void ServerDesktopTest::leadSeesTheTeamOnly() {
    upload(QStringLiteral("anna"), 5);
    upload(QStringLiteral("cili"), 6);
    Desktop d(m_server.socketInfo(QStringLiteral("bela")));
    d.p->unlock();
    QTableView* view = d.serverView();
    QTRY_VERIFY_WITH_TIMEOUT(view->model()->rowCount() > 0, kWait);
    QSet<QString> owners;
    QSet<QString> files;
    for (int r = 0; r < view->model()->rowCount(); ++r) {
        owners << view->model()->index(r, ArchiveTableModel::Institution).data().toString();
        files << view->model()->index(r, ArchiveTableModel::Institution).data(ArchiveTableModel::PathRole).toString();
    }
    QCOMPARE(owners, QSet<QString>{m_server.login(QStringLiteral("anna"))});
    QVERIFY(files.contains(m_server.login(QStringLiteral("anna")) + QStringLiteral("/K5.kvx")));
}

void ServerDesktopTest::openedFromTheServerByteForByte_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("differentLocal");
    QTest::addColumn<QString>("opened");
    QTest::newRow("no local file") << 7 << false << QStringLiteral("K7.kvx");
    QTest::newRow("a different local file") << 9 << true << QStringLiteral("K9.kiszolgalorol.kvx");
}

// Fault: the file written is not the uploaded one, a local file of that name is overwritten, or
// the examination opened is another.
void ServerDesktopTest::openedFromTheServerByteForByte() {
    QFETCH(int, n);
    QFETCH(bool, differentLocal);
    QFETCH(QString, opened);
    const QByteArray uploaded = ExaminationFile::serialize(sampleExamination(n));
    const QByteArray local = ExaminationFile::serialize(sampleExamination(8));
    Desktop d(m_server.socketInfo(QStringLiteral("anna")), [&](TestRoot& root) {
        if (differentLocal)
            root.put(QStringLiteral("gy_vkt/archivum/") + fileName(n), local);
    });
    d.p->unlock();
    // A colleague's computer changes the examination after this one uploaded its own copy.
    if (differentLocal)
        QTRY_COMPARE_WITH_TIMEOUT(d.column(fileName(n)), QStringLiteral("feltöltve"), kWait);
    upload(QStringLiteral("anna"), n);
    QTableView* view = d.serverView();
    int row = -1;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            d.desktop()->archiveSide()->listServer();
            QTest::qWait(100);
            for (int r = 0; r < view->model()->rowCount(); ++r) {
                const QModelIndex index = view->model()->index(r, 0);
                if (index.data(ArchiveTableModel::PathRole).toString() == fileName(n) &&
                    index.sibling(r, ArchiveTableModel::Name).data().toString() == sampleExamination(n).personal.name)
                    row = r;
            }
            return row >= 0;
        }(),
        kWait);
    view->selectRow(row);
    d.p->platform.setNextAnswer(true);
    ModalWatch personal(d.p->forms.szemAd(), [&] { d.p->child<QPushButton>(d.p->forms.szemAd(), "BitBtn1")->click(); });
    d.p->child<QPushButton>(d.p->forms.archivum(), "Megnyitas")->click();
    QTRY_VERIFY_WITH_TIMEOUT(personal.seen, kWait);
    QCOMPARE(readFileBytes(d.archived(opened)), uploaded);
    QCOMPARE(d.p->session.personal().name, sampleExamination(n).personal.name);
    if (differentLocal)
        QCOMPARE(readFileBytes(d.archived(fileName(n))), local);
    QCOMPARE(d.p->platform.questions.size(), differentLocal ? 1 : 0);
}

// Fault: a researcher's "Exportálás CSV-be…" offers the local folder only, or the server's
// export misses examinations or carries a name.
void ServerDesktopTest::researcherExportsFromTheServer() {
    upload(QStringLiteral("cili"), 10);
    Desktop d(m_server.socketInfo(QStringLiteral("rita")));
    d.p->unlock();
    QTRY_COMPARE_WITH_TIMEOUT(d.client().role(), QStringLiteral("researcher"), kWait);
    const QString output = d.p->testRoot.path() + QStringLiteral("/kutatas.csv");
    d.p->platform.setNextAnswer(true);
    d.p->platform.setNextFileName(output);
    d.p->trigger("Exportals1");
    QTRY_VERIFY_WITH_TIMEOUT(!d.p->platform.messages.isEmpty(), kWait);
    QVERIFY2(d.p->platform.messages.last().startsWith(QStringLiteral("Az export elkészült")),
             qPrintable(d.p->platform.messages.last()));
    const QByteArray csv = readFileBytes(output);
    const QStringList examinations =
        runSql(m_server.ownerInfo(), QStringLiteral("SELECT count(*) FROM gyvkt.examination")).rows;
    QCOMPARE(QByteArray::number(csv.count('\n') - 1), examinations.value(0).toUtf8());
    QVERIFY(!csv.contains("Gyerek 10"));
}

QTEST_MAIN(ServerDesktopTest)
#include "tst_server_desktop.moc"
