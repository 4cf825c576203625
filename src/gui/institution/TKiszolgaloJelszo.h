#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The institution server's password, asked when the server first wants it in a run.
//
//   Szoveg             which server and login ask for it
//   Ok                 why the last password was not accepted (hidden the first time)
//   Jelszo             the password, without echo
//   JelszoMegjegyzese  "Jelszó megjegyzése": kept in the system's keyring
//   Rendben / Megse    "Rendben" uses it, "Mégse" leaves the uploads waiting in this run
class TKiszolgaloJelszo : public QDialog {
    Q_OBJECT
public:
    explicit TKiszolgaloJelszo(QWidget* parent);

    // Shows the dialog modally; true when a password was given.
    bool ask(const QString& server, const QString& reason, bool remember);
    QByteArray password() const;
    bool remember() const;

private:
    QLabel* Szoveg = nullptr;
    QLabel* Ok = nullptr;
    QLineEdit* Jelszo = nullptr;
    QCheckBox* JelszoMegjegyzese = nullptr;
    QPushButton* Rendben = nullptr;
    QPushButton* Megse = nullptr;
};
