// Coder agreement and archive norms, checked against values worked out by hand.
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "services/ArchiveNorms.h"
#include "services/CoderAgreement.h"
#include "tst_evaluate_example.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// "xxyy" -> {"x", "x", "y", "y"}: one letter per unit.
QStringList units(const char* letters) {
    QStringList out;
    for (const char* c = letters; *c != '\0'; ++c)
        out << QString(QLatin1Char(*c));
    return out;
}

// A list of n1 copies of first, then n2 copies of second.
QStringList runs(const char* first, int n1, const char* second = "", int n2 = 0) {
    QStringList out;
    for (int i = 0; i < n1; ++i)
        out << QLatin1String(first);
    for (int i = 0; i < n2; ++i)
        out << QLatin1String(second);
    return out;
}

void compareOptional(const std::optional<double>& actual, const std::optional<double>& expected) {
    QCOMPARE(actual.has_value(), expected.has_value());
    if (expected)
        QVERIFY2(qAbs(*actual - *expected) < 1e-12,
                 qPrintable(QStringLiteral("%1 != %2").arg(*actual, 0, 'g', 17).arg(*expected, 0, 'g', 17)));
}

CoderAgreement::Lines lines(const QStringList& specs) {
    return EvalFixture::linesFrom(specs);
}

// A deterministic generator for codings of every shape.
class Lcg {
public:
    explicit Lcg(quint64 seed) : m_state(seed) {}
    int next(int bound) {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((m_state >> 33) % static_cast<quint64>(bound));
    }

private:
    quint64 m_state;
};

} // namespace

class ResearchStatsTest : public QObject {
    Q_OBJECT
private slots:
    void category_data();
    void category();
    void kappaAndAlpha_data();
    void kappaAndAlpha();
    void comparePairs();
    void compareIgnoresOrderAndForeignCodes();
    void kappaReading_data();
    void kappaReading();
    void quantile_data();
    void quantile();
    void quantileFromCountsMatchesSorting();
    void unroundedPercentagesOfTheWorkedExample();
    void unroundedPercentagesRoundToTheEvaluation();
    void normsByBracket();
};

void ResearchStatsTest::category_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << 1 << QString();
    QTest::newRow("one code") << QStringLiteral("EV") << 1 << QStringLiteral("EV");
    QTest::newRow("entry order EENE") << QStringLiteral("EENE") << 2 << QStringLiteral("EE+NE");
    QTest::newRow("entry order NEEE") << QStringLiteral("NEEE") << 2 << QStringLiteral("EE+NE");
    QTest::newRow("other column's code") << QStringLiteral("KE") << 1 << QString();
    QTest::newRow("own and foreign") << QStringLiteral("KEEV") << 1 << QStringLiteral("EV");
    QTest::newRow("twice the same") << QStringLiteral("EVEV") << 1 << QStringLiteral("EV");
    QTest::newRow("junk first") << QStringLiteral("xyIV") << 1 << QStringLiteral("IV");
    QTest::newRow("half a code") << QStringLiteral("E") << 1 << QString();
    QTest::newRow("third code ignored") << QStringLiteral("NINMNE") << 2 << QStringLiteral("NI+NM");
    QTest::newRow("lower case is no code") << QStringLiteral("ev") << 1 << QString();
}

void ResearchStatsTest::category() {
    QFETCH(QString, field);
    QFETCH(int, column);
    QFETCH(QString, expected);
    QCOMPARE(CoderAgreement::category(field, column), expected);
}

void ResearchStatsTest::kappaAndAlpha_data() {
    QTest::addColumn<QStringList>("a");
    QTest::addColumn<QStringList>("b");
    QTest::addColumn<std::optional<double>>("kappa");
    QTest::addColumn<std::optional<double>>("alpha");
    // po = 1, pe = 1/2: kappa 1; no disagreement: alpha 1.
    QTest::newRow("perfect") << units("xxyy") << units("xxyy") << std::optional<double>(1.0)
                             << std::optional<double>(1.0);
    // po = pe = 1/2: kappa 0. n = 8, n_x = n_y = 4, two disagreeing units:
    // alpha = 1 - 7 * 4 / (64 - 32) = 1/8.
    QTest::newRow("chance level") << units("xxyy") << units("xyxy") << std::optional<double>(0.0)
                                  << std::optional<double>(0.125);
    // po = 0, pe = 1/2: kappa -1. n = 4, two disagreeing units: alpha = 1 - 3 * 4 / (16 - 8).
    QTest::newRow("always opposite") << units("xy") << units("yx") << std::optional<double>(-1.0)
                                     << std::optional<double>(-0.5);
    // 50 units: both yes 20, A yes B no 5, A no B yes 10, both no 15. po = 0.7,
    // pe = 0.5 * 0.6 + 0.5 * 0.4 = 0.5: kappa 0.4. n = 100, n_yes = 55, n_no = 45:
    // alpha = 1 - 99 * 30 / (10000 - 3025 - 2025) = 1 - 2970 / 4950 = 0.4.
    QStringList a = runs("y", 25, "n", 25);
    QStringList b = runs("y", 20, "n", 5) + runs("y", 10, "n", 15);
    QTest::newRow("two by two table") << a << b << std::optional<double>(0.4) << std::optional<double>(0.4);
    // Every value one category: pe = 1, and no pair of different values can be expected.
    QTest::newRow("one category only") << units("xxxx") << units("xxxx") << std::optional<double>()
                                       << std::optional<double>();
    // Each coder keeps to one category of their own: pe = 0, po = 0, kappa 0; n_x = n_y = 3,
    // three disagreeing units: alpha = 1 - 5 * 6 / (36 - 18) = -2/3.
    QTest::newRow("each coder one category")
        << units("xxx") << units("yyy") << std::optional<double>(0.0) << std::optional<double>(-2.0 / 3.0);
    QTest::newRow("no units") << QStringList() << QStringList() << std::optional<double>() << std::optional<double>();
}

void ResearchStatsTest::kappaAndAlpha() {
    QFETCH(QStringList, a);
    QFETCH(QStringList, b);
    QFETCH(std::optional<double>, kappa);
    QFETCH(std::optional<double>, alpha);
    compareOptional(CoderAgreement::cohenKappa(a, b), kappa);
    compareOptional(CoderAgreement::krippendorffAlpha(a, b), alpha);
    // Neither depends on which coder is called A.
    compareOptional(CoderAgreement::cohenKappa(b, a), kappa);
    compareOptional(CoderAgreement::krippendorffAlpha(b, a), alpha);
}

void ResearchStatsTest::comparePairs() {
    // One pair: both coders mark every picture EV in O-D, except that B marks picture 1 IV.
    QStringList a = EvalFixture::repeated(QStringLiteral("EV,,"), 24);
    QStringList b = a;
    b[0] = QStringLiteral("IV,,");
    const CoderAgreement::Result r = CoderAgreement::compare({{lines(a), lines(b)}});
    QCOMPARE(r.pairs, 1);
    QCOMPARE(r.units, 72);
    QCOMPARE(r.percentAgreement, 100.0 * 71 / 72);
    // O-D: A has EV 24 times, B EV 23 times and IV once: po = pe = 23/24, kappa 0.
    compareOptional(r.kappaOd, 0.0);
    // E-D and N-P hold nothing on either side: pe = 1.
    compareOptional(r.kappaEd, std::nullopt);
    compareOptional(r.kappaNp, std::nullopt);
    // All 72 units: A EV 24 "" 48; B EV 23 IV 1 "" 48. pe = (24*23 + 48*48) / 72^2:
    // kappa = (72*71 - 2856) / (5184 - 2856) = 2256 / 2328.
    compareOptional(r.kappaAll, 2256.0 / 2328.0);
    // n = 144, n_EV = 47, n_IV = 1, n_"" = 96, one disagreeing unit:
    // alpha = 1 - 143 * 2 / (144^2 - 47^2 - 1 - 96^2) = 1 - 286 / 9310.
    compareOptional(r.alpha, 1.0 - 286.0 / 9310.0);
    // EV present 24 times for A, 23 for B: kappa 0; IV present once for B only: kappa 0.
    compareOptional(r.codeKappa[0], 0.0);
    compareOptional(r.codeKappa[1], 0.0);
    for (size_t c = 2; c < ScoreCodes::kCount; ++c)
        compareOptional(r.codeKappa[c], std::nullopt);
    QCOMPARE(r.pictures[0], 100.0 * 2 / 3);
    for (size_t p = 1; p < 24; ++p)
        QCOMPARE(r.pictures[p], 100.0);
}

void ResearchStatsTest::compareIgnoresOrderAndForeignCodes() {
    // Two pairs. Pictures 1-12: E-D with two codes in either order, agreeing. Pictures 13-24:
    // A writes NI in E-D, B writes NM, except 13 and 14 where B agrees; a stray N-P code in
    // O-D and junk after a code change nothing.
    QStringList a;
    QStringList b;
    for (int p = 1; p <= 24; ++p) {
        if (p <= 12) {
            a << QStringLiteral(",EENE,");
            b << QStringLiteral("KE,NEEE,");
        } else {
            a << QStringLiteral(",NI,");
            b << (p <= 14 ? QStringLiteral(",NIzz,") : QStringLiteral(",NM,"));
        }
    }
    const CoderAgreement::Result r = CoderAgreement::compare({{lines(a), lines(b)}, {lines(a), lines(b)}});
    QCOMPARE(r.pairs, 2);
    QCOMPARE(r.units, 144);
    // Disagreeing: pictures 15-24, E-D, in both pairs.
    QCOMPARE(r.percentAgreement, 100.0 * (144 - 20) / 144);
    compareOptional(r.kappaOd, std::nullopt);
    // E-D, 48 units: A EE+NE 24, NI 24; B EE+NE 24, NI 4, NM 20. po = 28/48,
    // pe = (24*24 + 24*4) / 48^2 = 672 / 2304: kappa = (48*28 - 672) / (2304 - 672) = 672 / 1632.
    compareOptional(r.kappaEd, 672.0 / 1632.0);
    for (size_t p = 0; p < 14; ++p)
        QCOMPARE(r.pictures[p], 100.0);
    for (size_t p = 14; p < 24; ++p)
        QCOMPARE(r.pictures[p], 100.0 * 2 / 3);
    // NM: present for B in 20 of the 48 (pair, picture) units, never for A: po = 28/48,
    // pe = (48*28) / 48^2: kappa 0. KE in O-D is not where the evaluation looks: undefined.
    compareOptional(r.codeKappa[7], 0.0);
    compareOptional(r.codeKappa[8], std::nullopt);
}

void ResearchStatsTest::kappaReading_data() {
    QTest::addColumn<double>("kappa");
    QTest::addColumn<QString>("reading");
    QTest::newRow("negative") << -0.1 << QStringLiteral("rossz");
    QTest::newRow("zero") << 0.0 << QStringLiteral("csekély");
    QTest::newRow("0.20") << 0.20 << QStringLiteral("csekély");
    QTest::newRow("0.21") << 0.21 << QStringLiteral("gyenge");
    QTest::newRow("0.40") << 0.40 << QStringLiteral("gyenge");
    QTest::newRow("0.41") << 0.41 << QStringLiteral("mérsékelt");
    QTest::newRow("0.61") << 0.61 << QStringLiteral("jelentős");
    QTest::newRow("0.80") << 0.80 << QStringLiteral("jelentős");
    QTest::newRow("0.81") << 0.81 << QStringLiteral("kiváló");
    QTest::newRow("one") << 1.0 << QStringLiteral("kiváló");
}

void ResearchStatsTest::kappaReading() {
    QFETCH(double, kappa);
    QFETCH(QString, reading);
    QCOMPARE(CoderAgreement::kappaReading(kappa), reading);
}

void ResearchStatsTest::quantile_data() {
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<double>("q1");
    QTest::addColumn<double>("median");
    QTest::addColumn<double>("q3");
    QTest::newRow("one value") << QList<double>{37.5} << 37.5 << 37.5 << 37.5;
    // Positions 0.25, 0.5, 0.75 between 10 and 20.
    QTest::newRow("two values") << QList<double>{20, 10} << 12.5 << 15.0 << 17.5;
    // Positions 1, 2, 3: the order statistics themselves, the outlier untouched.
    QTest::newRow("five values") << QList<double>{100, 3, 1, 4, 2} << 2.0 << 3.0 << 4.0;
    // Positions 0.75, 1.5, 2.25 (R: quantile(1:4) gives 1.75 2.50 3.25).
    QTest::newRow("four values") << QList<double>{4, 3, 2, 1} << 1.75 << 2.5 << 3.25;
    QTest::newRow("ties") << QList<double>{0, 0, 0, 50, 50} << 0.0 << 0.0 << 50.0;
    // Between the last of a tie and the next value (R: 1, 1.5, 4.25).
    QTest::newRow("across a tie") << QList<double>{5, 1, 2, 1, 5, 1} << 1.0 << 1.5 << 4.25;
}

void ResearchStatsTest::quantile() {
    QFETCH(QList<double>, values);
    QFETCH(double, q1);
    QFETCH(double, median);
    QFETCH(double, q3);
    const std::vector<double> v(values.begin(), values.end());
    QCOMPARE(*ArchiveNorms::quantile(v, 0.25), q1);
    QCOMPARE(*ArchiveNorms::quantile(v, 0.5), median);
    QCOMPARE(*ArchiveNorms::quantile(v, 0.75), q3);
    QCOMPARE(*ArchiveNorms::quantile(v, 0.0), *std::min_element(v.begin(), v.end()));
    QCOMPARE(*ArchiveNorms::quantile(v, 1.0), *std::max_element(v.begin(), v.end()));
    QVERIFY(!ArchiveNorms::quantile(std::vector<double>{}, 0.5));
}

void ResearchStatsTest::quantileFromCountsMatchesSorting() {
    // The quartiles come from counts of each value; drawn from a few values, the samples are
    // mostly ties, where a rank counted one off would show. The order statistics of the sorted
    // values are the reference.
    Lcg rng(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<double> values(static_cast<size_t>(1 + rng.next(40)));
        for (double& v : values)
            v = 12.5 * rng.next(6);
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        for (const double p : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            const double position = (static_cast<double>(sorted.size()) - 1) * p;
            const auto below = static_cast<size_t>(position);
            const size_t above = std::min(below + 1, sorted.size() - 1);
            const double expected = sorted[below] + (position - below) * (sorted[above] - sorted[below]);
            QCOMPARE(*ArchiveNorms::quantile(values, p), expected);
        }
    }
}

void ResearchStatsTest::unroundedPercentagesOfTheWorkedExample() {
    // 22 scored pictures, GCR 9.5. Pictures 15-20 carry two codes and weigh a half each: rows
    // E 11.5 (NE 6, EE 1.5, KE 4) and I 4.5 (IV, NI, KI 1.5 each); columns O-D 5.5 (MV 4, IV 1.5)
    // and E-D 11 (NE 6, EE 1.5, NI 1.5, NM 2); superego EE 1.5, II 0.
    const Coding coding(EvalFixture::workedExampleKey(), EvalFixture::workedExample());
    const std::array<double, 13> p = ArchiveNorms::unroundedPercentages(coding, evaluate(coding, 9, QLatin1Char('.')));
    const double n = 22;
    QCOMPARE(p[0], 100 * 9.5 / n);
    QCOMPARE(p[1], 100 * 11.5 / n);
    QCOMPARE(p[2], 100 * 4.5 / n);
    QCOMPARE(p[3], 100 - (100 * 11.5 / n + 100 * 4.5 / n));
    QCOMPARE(p[4], 100 * 5.5 / n);
    QCOMPARE(p[6], 100 - (100 * 5.5 / n + 100 * 11 / n));
    QCOMPARE(p[5], 100 * 11 / n);
    QCOMPARE(p[7], 100 * 1.5 / n);
    QCOMPARE(p[8], 0.0);
}

void ResearchStatsTest::unroundedPercentagesRoundToTheEvaluation() {
    // For codings of every shape, each percentage the evaluation rounds directly is the unrounded
    // one rounded half to even; the third of each set is 100 less the other two, so it may differ
    // from the evaluation's (100 less the other two rounded) by at most one.
    const char* const codes[3][5] = {{"EV", "IV", "MV"}, {"NE", "EE", "NI", "II", "NM"}, {"KE", "KI", "KM"}};
    const int counts[3] = {3, 5, 3};
    const GcrKey key = EvalFixture::workedExampleKey();
    Lcg rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::array<ScoringLine, 24> lines;
        for (ScoringLine& line : lines) {
            const int shape = rng.next(6);
            for (int k = 0; k < (shape == 0 ? 0 : shape <= 3 ? 1 : 2); ++k) {
                const int column = 1 + rng.next(3);
                line.field(column) += QLatin1String(codes[column - 1][rng.next(counts[column - 1])]);
            }
        }
        const Coding coding(key, lines);
        const EvaluationResult r = evaluate(coding, 7 + rng.next(8), QLatin1Char('.'));
        const std::array<double, 13> p = ArchiveNorms::unroundedPercentages(coding, r);
        auto rounded = [](double v) { return static_cast<double>(roundHalfEven(v)); };
        QCOMPARE(rounded(p[0]), static_cast<double>(r.gcrPercent));
        QCOMPARE(rounded(p[1]), r.rowPercent[0]);
        QCOMPARE(rounded(p[2]), r.rowPercent[1]);
        QVERIFY(qAbs(rounded(p[3]) - r.rowPercent[2]) <= 1);
        QCOMPARE(rounded(p[4]), r.columnPercent[0]);
        QCOMPARE(rounded(p[5]), r.columnPercent[1]);
        QVERIFY(qAbs(rounded(p[6]) - r.columnPercent[2]) <= 1);
        for (size_t k = 0; k < 6; ++k)
            QCOMPARE(rounded(p[7 + k]), r.superegoPercent[k]);
    }
}

void ResearchStatsTest::normsByBracket() {
    using Sample = std::pair<int, std::array<double, 13>>;
    auto sample = [](int age, double gcr, double rowE) {
        std::array<double, 13> p{};
        p.fill(10);
        p[0] = gcr;
        p[1] = rowE;
        return Sample{age, p};
    };
    // Bracket 7-8: GCR 10, 40, 70 (quartiles 25, 40, 55; built-in median 37.3 inside);
    // row E 50, 60, 70 (55, 60, 65; built-in median 45.8 outside). Age 15 counts nowhere.
    const ArchiveNorms::Report report =
        ArchiveNorms::fromSamples({sample(7, 70, 50), sample(8, 10, 70), sample(8, 40, 60), sample(15, 0, 0),
                                   sample(13, 100.0 / 3, 20), sample(11, 33, 0), sample(12, 33.5, 0)});
    const ArchiveNorms::Bracket& young = report.brackets[0];
    QCOMPARE(young.n, 3);
    QCOMPARE(*young.measures[0].q1, 25.0);
    QCOMPARE(*young.measures[0].median, 40.0);
    QCOMPARE(*young.measures[0].q3, 55.0);
    QCOMPARE(*young.measures[0].outside, false);
    QCOMPARE(*young.measures[1].q1, 55.0);
    QCOMPARE(*young.measures[1].outside, true);
    QCOMPARE(young.measures[1].builtin.median, Norms::kAge7to8.rowPercent[0].median);
    // Superego 6 at 10 against a built-in median of 37.
    QCOMPARE(*young.measures[12].outside, true);

    const QJsonArray brackets = ArchiveNorms::toJson(report).value(QStringLiteral("brackets")).toArray();
    QCOMPARE(brackets.size(), 4);
    const QStringList ages{QStringLiteral("7-8"), QStringLiteral("9-10"), QStringLiteral("11-12"),
                           QStringLiteral("13-14")};
    const int n[4] = {3, 0, 2, 1};
    for (int b = 0; b < 4; ++b) {
        const QJsonObject bracket = brackets.at(b).toObject();
        QCOMPARE(bracket.value(QStringLiteral("ages")).toString(), ages.at(b));
        QCOMPARE(bracket.value(QStringLiteral("n")).toInt(), n[b]);
        QCOMPARE(bracket.value(QStringLiteral("measures")).toObject().size(), 13);
    }
    // An empty bracket: null quartiles and outside, its built-in values kept.
    const QJsonObject emptyGcr = brackets.at(1)
                                     .toObject()
                                     .value(QStringLiteral("measures"))
                                     .toObject()
                                     .value(QStringLiteral("GcrPercent"))
                                     .toObject();
    QVERIFY(emptyGcr.value(QStringLiteral("q1")).isNull());
    QVERIFY(emptyGcr.value(QStringLiteral("median")).isNull());
    QVERIFY(emptyGcr.value(QStringLiteral("outside")).isNull());
    QCOMPARE(emptyGcr.value(QStringLiteral("builtin")).toArray(), (QJsonArray{26.8, 38.9, 49.8}));
    // Two decimals in JSON: 100/3 -> 33.33.
    const QJsonObject oldGcr = brackets.at(3)
                                   .toObject()
                                   .value(QStringLiteral("measures"))
                                   .toObject()
                                   .value(QStringLiteral("GcrPercent"))
                                   .toObject();
    QCOMPARE(oldGcr.value(QStringLiteral("median")).toDouble(), 33.33);
    QCOMPARE(oldGcr.value(QStringLiteral("outside")).toBool(), true);
    // GCR 33 and 33.5 give the exact ties 33.125 and 33.375: halves go to the even neighbour.
    const QJsonValue tied = brackets.at(2)[QLatin1String("measures")][QLatin1String("GcrPercent")];
    QCOMPARE(tied[QLatin1String("q1")].toDouble(), 33.12);
    QCOMPARE(tied[QLatin1String("q3")].toDouble(), 33.38);
    const QJsonObject names = brackets.at(0).toObject().value(QStringLiteral("measures")).toObject();
    for (const char* name : {"GcrPercent", "RowPercent_E", "RowPercent_I", "RowPercent_M", "ColumnPercent_OD",
                             "ColumnPercent_ED", "ColumnPercent_NP", "SuperegoPercent_1", "SuperegoPercent_6"})
        QVERIFY2(names.contains(QLatin1String(name)), name);
}

QTEST_GUILESS_MAIN(ResearchStatsTest)
#include "tst_research_stats.moc"
