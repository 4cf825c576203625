#include "PdfTools.h"
#include "TestRoot.h"
#include "formats/ExaminationFile.h"
#include "formats/PasswordStore.h"
#include "gui/ProgramFixture.h"
#include "gui/archive/ArchiveTable.h"
#include "gui/archive/TArchivum.h"
#include "gui/comparison/TOsszehasonlitas.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTextBrowser>
#include <QtTest>

namespace {

ExaminationData exam(const QString& name, PersonalData::Sex sex, qint32 age, const QString& date, int marked) {
    ExaminationData d;
    d.personal.name = name;
    d.personal.sex = sex;
    d.personal.age = age;
    d.personal.date = date;
    for (int n = 0; n < marked; ++n)
        d.lines[static_cast<size_t>(n)].field(n % 3 + 1) = n % 2 ? QStringLiteral("NE") : QStringLiteral("EV");
    return d;
}

template <typename T>
T* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name))
            return qobject_cast<T*>(w);
    }
    return nullptr;
}

} // namespace

class TestComparisonWindow : public QObject {
    Q_OBJECT
private slots:
    void fromTheArchiveSelectionToThePdf();
};

void TestComparisonWindow::fromTheArchiveSelectionToThePdf() {
    TestRoot root;
    root.put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
    root.put(QStringLiteral("gy_vkt/standard.dat"), PasswordStore::defaultStoreBytes());
    using Sex = PersonalData::Sex;
    const auto put = [&](const char* code, const ExaminationData& d) {
        root.put(QStringLiteral("gy_vkt/archivum/%1.kvx").arg(QLatin1String(code)), ExaminationFile::serialize(d));
    };
    // One boy three times (his name typed differently once, the refused one in the middle by
    // date), a girl of the same name, who is someone else.
    put("K3", exam(QStringLiteral("KOVÁCS  Ödön"), Sex::Boy, 11, QStringLiteral("2024. március 5."), 22));
    put("K1", exam(QStringLiteral("Kovács Ödön"), Sex::Boy, 9, QStringLiteral("2022.03.01."), 20));
    put("K2", exam(QStringLiteral("Kovacs Odon"), Sex::Boy, 10, QStringLiteral("2023.03.01."), 12));
    put("L1", exam(QStringLiteral("Kovács Ödön"), Sex::Girl, 9, QStringLiteral("2023.06.01."), 20));
    ProgramFixture p(root);
    p.unlock();
    p.trigger("Archivum1");
    TArchivum* archive = p.forms.archivum();
    QTRY_VERIFY(!archive->isListing());
    auto* table = p.child<QTableView>(archive, "Tabla");
    auto* compare = p.child<QPushButton>(archive, "Osszehasonlitas");
    QAbstractItemModel* rows = table->model();
    QCOMPARE(rows->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        const bool girl = rows->index(r, ArchiveTableModel::Code).data().toString() == QLatin1String("L1");
        QCOMPARE(rows->index(r, ArchiveTableModel::SameChild).data().toString(),
                 girl ? QStringLiteral("1") : QStringLiteral("3"));
    }

    // Choosing the count leaves that child's examinations.
    const QRect count = table->visualRect(rows->index(0, ArchiveTableModel::SameChild));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, count.center());
    QCOMPARE(rows->rowCount(), 3);
    QVERIFY(!compare->isEnabled());
    table->selectAll();
    QVERIFY(compare->isEnabled());
    compare->click();

    auto* window = topLevel<TOsszehasonlitas>("TOsszehasonlitas");
    QVERIFY(window && window->isVisible());
    const Comparison& shown = window->comparison();
    QCOMPARE(shown.examinations.size(), size_t(3));
    QStringList dates;
    for (const ComparedExamination& e : shown.examinations)
        dates << e.personal.date;
    QCOMPARE(dates, (QStringList{QStringLiteral("2022.03.01."), QStringLiteral("2023.03.01."),
                                 QStringLiteral("2024. március 5.")}));
    const QString reason = shown.examinations[1].refusalText();
    QVERIFY(!reason.isEmpty());
    QVERIFY(p.child<QTextBrowser>(window, "Tablazat")->toPlainText().contains(reason));

    // The PDF: the table with the reason, then the chart.
    const QString pdf = root.path() + QStringLiteral("/osszehasonlitas.pdf");
    p.platform.setNextFileName(pdf);
    p.child<QPushButton>(window, "PdfMentes")->click();
    QCOMPARE(p.platform.messages,
             QStringList{QStringLiteral("Az összehasonlítás PDF-ben elkészült:\n") + QDir::toNativeSeparators(pdf)});
    const QByteArray bytes = readFileBytes(pdf);
    QCOMPARE(PdfTools::pageCount(bytes), 2);
    const QString text = PdfTools::text(bytes).simplified();
    QVERIFY(text.indexOf(QStringLiteral("2022.03.01.")) < text.indexOf(QStringLiteral("2024. március 5.")));
    QVERIFY(text.contains(QStringLiteral("Kevés a lejelölt válasz, mindössze 12.")));
}

QTEST_MAIN(TestComparisonWindow)
#include "tst_comparison_window.moc"
