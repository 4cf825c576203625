#include "gui/institution/TKiszolgaloJelszo.h"

#include "gui/common/Widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TKiszolgaloJelszo::TKiszolgaloJelszo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TKiszolgaloJelszo"));
    setWindowTitle(QStringLiteral("Intézményi archívum: jelszó"));
    setModal(true);
    setMinimumWidth(460);

    auto* layout = new QVBoxLayout(this);
    Szoveg = new QLabel(this);
    Szoveg->setObjectName(QStringLiteral("Szoveg"));
    Szoveg->setWordWrap(true);
    Ok = new QLabel(this);
    Ok->setObjectName(QStringLiteral("Ok"));
    Ok->setWordWrap(true);
    Ok->setStyleSheet(QStringLiteral("color: #a01010;"));
    Jelszo = new QLineEdit(this);
    Jelszo->setObjectName(QStringLiteral("Jelszo"));
    Jelszo->setEchoMode(QLineEdit::Password);
    JelszoMegjegyzese = new QCheckBox(QStringLiteral("Jelszó megjegyzése"), this);
    JelszoMegjegyzese->setObjectName(QStringLiteral("JelszoMegjegyzese"));
    JelszoMegjegyzese->setToolTip(QStringLiteral("A rendszer kulcstartója őrzi meg, a program egyetlen fájlja sem; "
                                                 "a következő indításkor nem kell újra megadni."));
    Rendben = new QPushButton(QStringLiteral("Rendben"), this);
    Rendben->setObjectName(QStringLiteral("Rendben"));
    Rendben->setDefault(true);
    Megse = Widgets::makeButton(QStringLiteral("Mégse"), QStringLiteral("Megse"), this);

    layout->addWidget(Szoveg);
    layout->addWidget(Ok);
    layout->addWidget(Jelszo);
    layout->addWidget(JelszoMegjegyzese);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Rendben);
    buttons->addWidget(Megse);
    layout->addLayout(buttons);

    connect(Rendben, &QPushButton::clicked, this, &QDialog::accept);
    connect(Megse, &QPushButton::clicked, this, &QDialog::reject);
}

bool TKiszolgaloJelszo::ask(const QString& server, const QString& reason, bool remember) {
    Szoveg->setText(QStringLiteral("Az intézményi archívum kiszolgálója (%1) jelszót kér. Amíg nem kapja meg, a "
                                   "vizsgálatok ezen a gépen maradnak, és feltöltésre várnak.")
                        .arg(server));
    Ok->setText(reason);
    Ok->setVisible(!reason.isEmpty());
    Jelszo->clear();
    JelszoMegjegyzese->setChecked(remember);
    Jelszo->setFocus();
    adjustSize();
    const bool given = exec() == QDialog::Accepted && !Jelszo->text().isEmpty();
    if (!given)
        Jelszo->clear();
    return given;
}

QByteArray TKiszolgaloJelszo::password() const {
    return Jelszo->text().toUtf8();
}

bool TKiszolgaloJelszo::remember() const {
    return JelszoMegjegyzese->isChecked();
}
