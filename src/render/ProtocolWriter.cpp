#include "render/ProtocolWriter.h"

#include "base/TextFile.h"
#include "model/Coding.h"
#include "model/Evaluate.h"
#include "render/NumberText.h"
#include "render/ProfileChart.h"
#include "render/ResultText.h"

using R = EvaluationResult;

namespace {

QString td(const QString& value) {
    return QStringLiteral("<TD>") + value + QStringLiteral("</TD>");
}

QString html(QuartileClass position) {
    return ResultText::quartileClass(position, ResultText::Form::Html);
}

// The trends of one superego row joined by "<BR>", or "nincs" when none has a trend.
QString trendCell(const R& r, int row, QChar sep) {
    QString cell;
    for (int place = 1; place <= 3; ++place) {
        if (!r.trendRatio[static_cast<size_t>(row - 1)][static_cast<size_t>(place - 1)])
            continue;
        if (!cell.isEmpty())
            cell += QStringLiteral("<BR>");
        cell += ResultText::trend(r, row, place, sep, ResultText::Form::Html);
    }
    return cell.isEmpty() ? QStringLiteral("nincs") : cell;
}

} // namespace

QString ProtocolWriter::htmlEscape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QStringList ProtocolWriter::protocolLines(const PersonalData& pd, const Coding& coding, const R& r, QChar sep) {
    auto num = [sep](double value) { return fourDecimalText(value, sep); };
    QStringList l;
    l.reserve(kLineCount);

    // The charset is declared so that the accented letters show right whatever the browser assumes.
    l << QStringLiteral("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1250\">"
                        "<TITLE>Tavrix Gyermek VKT jkv.</TITLE></HEAD><BODY><PRE><P>")
      << QStringLiteral("<IMG SRC=\"logo.png\">")
      << QStringLiteral("<TABLE CELLPADDING=\"2\"><TR><TD><B>A vsz neve: </B>") + htmlEscape(pd.name) +
             QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</TD>")
      << QStringLiteral("<TD><B>A vsz kódja: </B>") + htmlEscape(pd.code) + QStringLiteral("</TD></TR>")
      << QStringLiteral("<TR><TD><B>neme: </B>") +
             (pd.sex == PersonalData::Sex::Girl ? QStringLiteral("lány") : QStringLiteral("fiú")) +
             QStringLiteral("</TD><TD><B>a vizsgálat időpontja: </B>") + htmlEscape(pd.date) +
             QStringLiteral("</TD></TR>")
      << QStringLiteral("<TR><TD><B>életkora: </B>") + QString::number(pd.age) + QStringLiteral("</TD>")
      << QStringLiteral("<TD><B>a vizsgálat vezetője: </B>") + htmlEscape(pd.examiner) +
             QStringLiteral("</TD></TR></TABLE>");

    l << QStringLiteral("<P><TABLE CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD ROWSPAN=3><TABLE BORDER CELLPADDING=\"2\"><TR><TD COLSPAN=6 bgcolor=\"aaCCff\">"
                        "<B>I. JEL&Ouml;L&Eacute;S</B></TD></TR>")
      << QStringLiteral("<TR><TD></TD><TD><B>O - D</B></TD><TD><B>E - D</B></TD><TD><B>N - P</B></TD>")
      << QStringLiteral("<TD><B>&nbsp;GCR</B></TD><TD><B>&nbsp;pont</B></TD></TR>");
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const ScoringLine& line = coding.line(picture);
        l << QStringLiteral("<TR>")
          << QStringLiteral("<TD><P ALIGN=Right>") + QString::number(picture) + QStringLiteral(".</TD>");
        for (int column = 1; column <= 3; ++column)
            l << td(htmlEscape(line.field(column)));
        l << td(htmlEscape(coding.key().pair(picture).displayText())) << td(coding.pointText(picture));
    }

    l << QStringLiteral("</TR></TABLE>") << QStringLiteral("</TD><TD><TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=7 bgcolor=\"aaCCff\"><B>II. PROFIL</B></TD></TR>")
      << QStringLiteral("<TR><TD></TD><TD><A HREF=\"irodalom/od.html\"><B>O - D</B></A></TD>")
      << QStringLiteral("<TD><A HREF=\"irodalom/ed.html\"><B>E - D</B></A></TD>")
      << QStringLiteral("<TD><A HREF=\"irodalom/np.html\"><B>N - P</B></A></TD>")
      << QStringLiteral("<TD><B>&Ouml;ssz.:</B></TD><TD><B>&nbsp;% </B></TD><TD><B>T</B></TD></TR>");

    static const char* const directionLinks[3][2] = {{"e", "E"}, {"i", "I"}, {"m", "M"}};
    for (size_t d = 0; d < 3; ++d) {
        l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/%1.html\"><B>%2</B></A></TD>")
                 .arg(QLatin1String(directionLinks[d][0]), QLatin1String(directionLinks[d][1]));
        for (size_t t = 0; t < 3; ++t)
            l << td(num(r.cellScore[d][t]));
        l << td(num(r.rowTotal[d])) << td(num(r.rowPercent[d]))
          << QStringLiteral("<TD>") + html(r.rowClass[d]) + QStringLiteral("</TD></TR>");
    }

    const QString emptyCell = QStringLiteral("<TD></TD>");
    const QString emptyRowEnd = QStringLiteral("<TD></TD></TR>");
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>&Ouml;ssz.:</B></TD>");
    for (double total : r.columnTotal)
        l << td(num(total));
    l << emptyCell << emptyCell << emptyRowEnd;
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>%</B></TD>");
    for (double share : r.columnPercent)
        l << td(num(share));
    l << emptyCell << emptyCell << emptyRowEnd;
    l << QStringLiteral("<TR><TD><P ALIGN=Right><B>T</B></TD>");
    for (const QuartileClass position : r.columnClass)
        l << td(html(position));
    l << emptyCell << emptyCell << QStringLiteral("<TD></TD></TR></TABLE>");

    l << QStringLiteral("<TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=4 bgcolor=\"aaCCff\"><B>III. KIEG&Eacute;SZ&Iacute;T&#336; "
                        "PROFIL</B></TD>")
      << QStringLiteral("<TR><TD COLSPAN=3><B>FELETTES-&Eacute;N MUTAT&Oacute;K</B></TD><TD>"
                        "<A HREF=\"irodalom/tend.html\"><B>TENDENCIÁK</B></A></TD>");
    for (size_t k = 0; k < 6; ++k) {
        const QString number = QString::number(k + 1);
        l << QStringLiteral("<TR><TD><P ALIGN=Right><A HREF=\"irodalom/fel_en.html\"><IMG SRC=\"fel_%1.png\"></A></TD>")
                 .arg(number);
        const QString values = QStringLiteral("<TD> = ") + num(r.superegoScore[k]) + QStringLiteral(" = ") +
                               num(r.superegoPercent[k]) + QStringLiteral("%</TD><TD>= ") + html(r.superegoClass[k]) +
                               QStringLiteral(" T</TD><TD>");
        if (k < 5)
            l << values + QStringLiteral("<A HREF=\"irodalom/tend_%1.html\">").arg(number) +
                     trendCell(r, static_cast<int>(k) + 1, sep) + QStringLiteral("</A></TD></TR>");
        else
            l << values + QStringLiteral("</TD></TR>");
    }
    l << QStringLiteral("</TABLE>");

    l << QStringLiteral("<TABLE BORDER CELLPADDING=\"2\">")
      << QStringLiteral("<TR><TD COLSPAN=3 bgcolor=\"aaCCff\"><B>RAUCHFLEISCH-MUTAT&Oacute;K:</B></TD></TR>");
    for (char index = 'a'; index <= 'e'; ++index) {
        const QString letter = QString(QLatin1Char(index));
        const QString image = QString::number(index - 'a' + 1);
        const std::optional<double> value = rauchfleischIndex(r, index);
        l << QStringLiteral("<TR><TD><A HREF=\"irodalom/rau_%1.html\"><IMG SRC=\"rau_%2.png\"></A></TD>")
                 .arg(letter, image)
          << QStringLiteral("<TD> = ") + (value ? num(*value) : QStringLiteral("nincs ért.")) +
                 QStringLiteral("</TD><TD><A HREF=\"irodalom/rau_%1.html\">értelmezés</A></TD></TR>").arg(letter);
    }
    l << QStringLiteral("</TABLE></TD></TR></TABLE></TD></TR></TABLE>");

    l << QStringLiteral("<P><TABLE BORDER CELLPADDING=\"2\"><TR><TD><A HREF=\"irodalom/totmut.html\">"
                        "<B>Totális mutató: </B></A>") +
             ResultText::totalIndex(r.topCell, sep, ResultText::Form::Html) +
             QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</TD>")
      << QStringLiteral("<TD><B>GCR százalék: </B>") + QString::number(r.gcrPercent) + QStringLiteral(" (") +
             ResultText::gcrClass(r.gcrClass) + QStringLiteral(") </TD></TR></TABLE>")
      << QStringLiteral("</PRE></BODY></HTML>");
    return l;
}

QByteArray ProtocolWriter::protocolBytes(const PersonalData& personal, const Coding& coding, const R& result,
                                         QChar decimalSeparator) {
    return TextFile::encodeLines(protocolLines(personal, coding, result, decimalSeparator));
}

void ProtocolWriter::writeProtocol(const QString& path, const PersonalData& personal, const Coding& coding,
                                   const R& result, QChar decimalSeparator) {
    TextFile::writeBytes(path, protocolBytes(personal, coding, result, decimalSeparator));
}

void ProtocolWriter::writeProfileChart(const QString& path, const PersonalData& personal,
                                       const EvaluationResult& result, QChar decimalSeparator) {
    ProfileChart(personal, result, decimalSeparator).writePng(path, 1100, 860);
}
