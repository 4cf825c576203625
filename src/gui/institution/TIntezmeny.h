#pragma once

#include "institution/ServerSettings.h"

#include <QDialog>

class InstitutionClient;
class Platform;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Beállítások" → "Intézményi archívum…": which server the examinations go to.
//
//   Kornyezet          shown when GYVKT_DB names the server: the fields below it cannot change it
//   Kiszolgalo, Port, Adatbazis   the server by its parts
//   Kapcsolat          or a full libpq connection string or URI, which wins over them
//   Felhasznalo        the login name
//   Tls                TLS required, with the server's certificate verified (sslmode=verify-full)
//   Jelszo             the password, used for the test and in this run; never written to a file
//   JelszoMegjegyzese  "Jelszó megjegyzése": kept in the system's keyring
//   Proba              "Kapcsolat próbája": logs in off the window's thread and says in Eredmeny
//                      whether it worked and which role the login has
//   Rendben / Megse    "Rendben" keeps the settings (an empty server: no institution archive)
class TIntezmeny : public QDialog {
    Q_OBJECT
public:
    TIntezmeny(InstitutionClient& client, Platform& platform, QWidget* parent);

    // Shows the settings in force, modally.
    void edit();

public slots:
    void ProbaClick();
    void RendbenClick();

private:
    Institution::ServerSettings typed() const;
    // Why these settings cannot be kept (a connection string libpq cannot read, or one that holds
    // a password); empty when they can.
    QString refusal(const Institution::ServerSettings& settings) const;
    void showResult(const QString& text, bool good);

    InstitutionClient& m_client;
    Platform& m_platform;
    bool m_fromEnvironment = false;
    int m_test = 0;

    QLabel* Kornyezet = nullptr;
    QLineEdit* Kiszolgalo = nullptr;
    QLineEdit* Port = nullptr;
    QLineEdit* Adatbazis = nullptr;
    QLineEdit* Kapcsolat = nullptr;
    QLineEdit* Felhasznalo = nullptr;
    QCheckBox* Tls = nullptr;
    QLineEdit* Jelszo = nullptr;
    QCheckBox* JelszoMegjegyzese = nullptr;
    QPushButton* Proba = nullptr;
    QLabel* Eredmeny = nullptr;
    QPushButton* Rendben = nullptr;
    QPushButton* Megse = nullptr;
};
