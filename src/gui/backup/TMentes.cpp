#include "gui/backup/TMentes.h"

#include "app/Platform.h"
#include "formats/BackupCipher.h"
#include "gui/common/Widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TMentes::TMentes(Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      m_platform(platform) {
    setObjectName(QStringLiteral("TMentes"));
    setWindowTitle(QStringLiteral("Biztonsági mentés"));
    setModal(true);

    auto* grid = new QGridLayout(this);
    auto* intro = new QLabel(QStringLiteral("A mentés minden vizsgálatot és beállítást tartalmaz, titkosítva. "
                                            "Visszaállítani csak ezzel a jelszóval lehet (legalább %1 karakter); "
                                            "őrizze meg biztos helyen.")
                                 .arg(BackupCipher::kMinPassphraseLength),
                             this);
    intro->setObjectName(QStringLiteral("Label1"));
    intro->setWordWrap(true);
    grid->addWidget(intro, 0, 0, 1, 2);
    const auto secret = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    Edit1 = secret("Edit1");
    Edit2 = secret("Edit2");
    grid->addWidget(new QLabel(QStringLiteral("A mentés jelszava:"), this), 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("A jelszó még egyszer:"), this), 2, 0);
    grid->addWidget(Edit2, 2, 1);
    BitBtn1 = Widgets::makeButton(QStringLiteral("Mentés…"), QStringLiteral("BitBtn1"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = Widgets::makeButton(QStringLiteral("Mégse"), QStringLiteral("BitBtn2"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, 3, 0, 1, 2);
    setMinimumWidth(460);

    connect(BitBtn1, &QPushButton::clicked, this, &TMentes::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QByteArray> TMentes::askPassphrase() {
    Edit1->clear();
    Edit2->clear();
    Edit1->setFocus();
    const bool accepted = exec() == QDialog::Accepted;
    const QByteArray passphrase = Edit1->text().toUtf8();
    Edit1->clear();
    Edit2->clear();
    if (!accepted)
        return std::nullopt;
    return passphrase;
}

void TMentes::BitBtn1Click() {
    if (Edit1->text() != Edit2->text()) {
        m_platform.message(QStringLiteral("A két jelszó nem egyezik."));
        return;
    }
    const QString problem = BackupCipher::passphraseProblem(Edit1->text().toUtf8());
    if (!problem.isEmpty()) {
        m_platform.message(problem);
        return;
    }
    accept();
}
