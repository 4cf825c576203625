#pragma once

#include "model/Comparison.h"

#include <QDialog>
#include <QStringList>

class ExamSession;
class PaperCommands;
class Platform;
class QPushButton;
class QTabWidget;
class QTextBrowser;

// "Összehasonlítás": two to four examinations of one child side by side, opened from the
// archive window with the rows selected there. The files are read when the window is asked to
// show them; what it shows is what they held then.
//
//   Lapok       the two pages of the window: "Táblázat" and "Profil"
//   Tablazat    the values in columns by date, beside each later one its change from the first;
//               a refused examination with its reason
//   Abra        the profile chart, a line per evaluated examination, the legend naming the dates
//   Nyomtatas   "Nyomtatás…": the table and the chart on the printer, as the protocol prints
//   PdfMentes   "PDF-be…": the same pages as a PDF file
//   Bezaras     "Bezárás": hides the window
class TOsszehasonlitas : public QDialog {
    Q_OBJECT
public:
    TOsszehasonlitas(const ExamSession& session, Platform& platform, PaperCommands& paper, QWidget* parent);

    // Reads the files under the session's key and shows them; a file that cannot be read is
    // reported and the window stays as it was. False then.
    bool showComparison(const QStringList& paths);
    const Comparison& comparison() const { return m_comparison; }

public slots:
    void NyomtatasClick();
    void PdfMentesClick();

private:
    const ExamSession& m_session;
    Platform& m_platform;
    PaperCommands& m_paper;
    Comparison m_comparison;
    bool m_placed = false;

    QTabWidget* Lapok = nullptr;
    QTextBrowser* Tablazat = nullptr;
    QWidget* Abra = nullptr;
    QPushButton* Nyomtatas = nullptr;
    QPushButton* PdfMentes = nullptr;
    QPushButton* Bezaras = nullptr;
};
