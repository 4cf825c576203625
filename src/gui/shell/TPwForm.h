#pragma once

#include <QDialog>

class Commands;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// "program-jelszó változtatás": collects the digits of a password change for the command and
// shows its outcome. Three panels share one place, one visible at a time.
//
//   Panel1    entry: Label4 (the rule), Edit1 old, Edit2 new, Edit3 confirmation (all "*"),
//             Button1 "kész" (enabled while Edit1 is not empty)
//   Panel2    success: Label5, Button2 "rendben"
//   Panel3    failure: Label6, Button3 "rendben"
class TPwForm : public QDialog {
    Q_OBJECT
public:
    TPwForm(Commands& commands, QWidget* parent = nullptr);

public slots:
    void FormActivate();
    void Edit1Change();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makePanel(const char* name);

    Commands& m_commands;

    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* Button1 = nullptr;
};
