#pragma once

#include "app/Commands.h"

#include <QDialog>

class PaperCommands;
class Platform;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

// Protocol window "Jegyzőkönyv – <code>": a protocol the desktop has no browser to open, shown
// by the program itself, so that "Kész jegyzőkönyv" and the archive's "Jegyzőkönyv" always show
// something, with the ways on to paper beside it.
//
//   Megjegyzes   why the protocol is shown here
//   Lap          the page as rich text with its pictures, the profile chart below it
//   Fajl         the page's path, read-only, to copy
//   Bongeszo     "Megnyitás böngészőben": hands the page to the desktop once more
//   PdfBe        "PDF-be…": the protocol as "Jegyzőkönyv PDF-be…" writes it
//   Nyomtatas    "Nyomtatás…": the protocol as "Nyomtatás…" prints it
//   Bezaras      "Bezárás": hides the window
class TJegyzokonyv : public QDialog {
    Q_OBJECT
public:
    TJegyzokonyv(PaperCommands& paper, Platform& platform, QWidget* parent);

    // Shows the protocol (or brings the window to the front with this one in it).
    void showProtocol(const ProtocolDocument& protocol);
    const ProtocolDocument& protocol() const { return m_protocol; }

    void BongeszoClick();
    void PdfBeClick();
    void NyomtatasClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void loadPage();

    PaperCommands& m_paper;
    Platform& m_platform;
    ProtocolDocument m_protocol;
    bool m_placed = false;

    QLabel* Megjegyzes = nullptr;
    QTextBrowser* Lap = nullptr;
    QLineEdit* Fajl = nullptr;
    QPushButton* Bongeszo = nullptr;
    QPushButton* PdfBe = nullptr;
    QPushButton* Nyomtatas = nullptr;
    QPushButton* Bezaras = nullptr;
};
