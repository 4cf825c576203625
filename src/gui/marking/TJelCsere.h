#pragma once

#include "model/Coding.h"

#include <QDialog>
#include <QString>

#include <array>

class ExamSession;
class QPushButton;

// The deletion dialog: every code of the current picture on a toggle button; the ones left
// up are kept when OK rebuilds the picture's fields. It runs modally with the caption the
// marking window asks for ("Törlés!" or "Túl sok jel !!!").
//
//   Label7, Label3       "Melyiket töröljem?" and the instruction line
//   Bevel1               frame around the buttons
//   Button1, Button2     first and second code of O-D
//   Button3, Button4     first and second code of E-D
//   Button5, Button6     first and second code of N-P
//   Button7              the whole parenthesized-mark field
//   OKBtn                rebuilds the row from the buttons left up and closes
class TJelCsere : public QDialog {
    Q_OBJECT
public:
    explicit TJelCsere(ExamSession& session, QWidget* parent = nullptr);

    // Shows the dialog modally under the caption; returns when it is closed.
    void run(const QString& caption);

    // Fills the seven buttons from the current picture's row; run on every showing.
    void FormActivate();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* button(int n) const { return m_buttons.at(static_cast<size_t>(n - 1)); }

    ExamSession& m_session;
    std::array<QPushButton*, 7> m_buttons{};
    Coding::DeletionButtons m_captions;
    QPushButton* OKBtn;
};
