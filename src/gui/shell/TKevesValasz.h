#pragma once

#include <QDialog>

class QLabel;

// "Kevés a lejelölt válasz!!!": shown instead of a protocol when too few pictures are marked.
//
//   Label1   white, bold: how many pictures are marked (setCount)
//   Label2   yellow, bold: "Legalább 18 lejelölt válasz szükséges!"
//   OKBtn    "Rendben", closes the dialog
class TKevesValasz : public QDialog {
    Q_OBJECT
public:
    explicit TKevesValasz(QWidget* parent = nullptr);

    void setCount(int count);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};
