#include "gui/institution/TIntezmeny.h"

#include "app/ErrorBoundary.h"
#include "app/InstitutionClient.h"
#include "base/UserError.h"
#include "gui/common/Widgets.h"
#include "institution/Accounts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using namespace Institution;

namespace {

QLineEdit* makeEdit(const char* name, const QString& placeholder, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

TIntezmeny::TIntezmeny(InstitutionClient& client, Platform& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_client(client), m_platform(platform) {
    setObjectName(QStringLiteral("TIntezmeny"));
    setWindowTitle(QStringLiteral("Intézményi archívum"));
    setModal(true);
    setMinimumWidth(560);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("A mentett vizsgálatok a háttérben az intézmény kiszolgálójára is "
                                            "felkerülnek. Üresen hagyott kiszolgálóval a program csak ezen a gépen "
                                            "dolgozik."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    Kornyezet = new QLabel(this);
    Kornyezet->setObjectName(QStringLiteral("Kornyezet"));
    Kornyezet->setWordWrap(true);
    layout->addWidget(Kornyezet);

    auto* form = new QFormLayout;
    Kiszolgalo = makeEdit("Kiszolgalo", QStringLiteral("például archivum.intezmeny.hu"), this);
    Port = makeEdit("Port", QStringLiteral("5432"), this);
    Adatbazis = makeEdit("Adatbazis", QStringLiteral("gyvkt"), this);
    Kapcsolat = makeEdit("Kapcsolat", QStringLiteral("postgresql://…  vagy  host=… dbname=…"), this);
    Kapcsolat->setToolTip(QStringLiteral("Teljes PostgreSQL-kapcsolódási szöveg; ha megadja, ez számít a kiszolgáló, "
                                         "a port és az adatbázis helyett. Jelszó ne legyen benne."));
    Felhasznalo = makeEdit("Felhasznalo", QString(), this);
    Tls = new QCheckBox(QStringLiteral("Csak titkosított kapcsolat (TLS, a kiszolgáló tanúsítványának ellenőrzésével)"),
                        this);
    Tls->setObjectName(QStringLiteral("Tls"));
    Tls->setToolTip(QStringLiteral("A kiszolgáló tanúsítványát a ~/.postgresql/root.crt fájl vagy a PGSSLROOTCERT "
                                   "változó tanúsítványa ellenőrzi."));
    Jelszo = makeEdit("Jelszo", QStringLiteral("csak ha a kiszolgáló kéri"), this);
    Jelszo->setEchoMode(QLineEdit::Password);
    JelszoMegjegyzese = new QCheckBox(QStringLiteral("Jelszó megjegyzése"), this);
    JelszoMegjegyzese->setObjectName(QStringLiteral("JelszoMegjegyzese"));
    JelszoMegjegyzese->setToolTip(QStringLiteral("A rendszer kulcstartója őrzi meg, a program egyetlen fájlja sem."));
    form->addRow(QStringLiteral("Kiszolgáló:"), Kiszolgalo);
    form->addRow(QStringLiteral("Port:"), Port);
    form->addRow(QStringLiteral("Adatbázis:"), Adatbazis);
    form->addRow(QStringLiteral("vagy kapcsolódási szöveg:"), Kapcsolat);
    form->addRow(QStringLiteral("Felhasználónév:"), Felhasznalo);
    form->addRow(QString(), Tls);
    form->addRow(QStringLiteral("Jelszó:"), Jelszo);
    form->addRow(QString(), JelszoMegjegyzese);
    layout->addLayout(form);

    Proba = Widgets::makeButton(QStringLiteral("Kapcsolat próbája"), QStringLiteral("Proba"), this);
    Eredmeny = new QLabel(this);
    Eredmeny->setObjectName(QStringLiteral("Eredmeny"));
    Eredmeny->setWordWrap(true);
    Eredmeny->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* test = new QHBoxLayout;
    test->addWidget(Proba, 0, Qt::AlignTop);
    test->addWidget(Eredmeny, 1);
    layout->addLayout(test);

    Rendben = new QPushButton(QStringLiteral("Rendben"), this);
    Rendben->setObjectName(QStringLiteral("Rendben"));
    Rendben->setDefault(true);
    Megse = Widgets::makeButton(QStringLiteral("Mégse"), QStringLiteral("Megse"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Rendben);
    buttons->addWidget(Megse);
    layout->addLayout(buttons);

    connect(Proba, &QPushButton::clicked, this, &TIntezmeny::ProbaClick);
    connect(Rendben, &QPushButton::clicked, this, &TIntezmeny::RendbenClick);
    connect(Megse, &QPushButton::clicked, this, &QDialog::reject);
}

void TIntezmeny::edit() {
    const ServerSettings& s = m_client.settings();
    m_fromEnvironment = s.fromEnvironment;
    Kiszolgalo->setText(s.host);
    Port->setText(s.port);
    Adatbazis->setText(s.database);
    Kapcsolat->setText(m_fromEnvironment ? QString() : s.connectionString);
    Felhasznalo->setText(s.login);
    Tls->setChecked(s.requireTls);
    JelszoMegjegyzese->setChecked(s.rememberPassword);
    Jelszo->clear();
    QString where;
    try {
        where = s.address().describe();
    } catch (const UserError& e) {
        where = e.text();
    }
    Kornyezet->setText(QStringLiteral("A kiszolgálót a GYVKT_DB környezeti változó adja meg (%1); itt nem "
                                      "módosítható.")
                           .arg(where));
    Kornyezet->setVisible(m_fromEnvironment);
    for (QWidget* field :
         {static_cast<QWidget*>(Kiszolgalo), static_cast<QWidget*>(Port), static_cast<QWidget*>(Adatbazis),
          static_cast<QWidget*>(Kapcsolat), static_cast<QWidget*>(Felhasznalo), static_cast<QWidget*>(Tls)})
        field->setEnabled(!m_fromEnvironment);
    Eredmeny->clear();
    exec();
}

ServerSettings TIntezmeny::typed() const {
    if (m_fromEnvironment) {
        ServerSettings settings = m_client.settings();
        settings.rememberPassword = JelszoMegjegyzese->isChecked();
        return settings;
    }
    ServerSettings settings;
    settings.host = Kiszolgalo->text().trimmed();
    settings.port = Port->text().trimmed();
    settings.database = Adatbazis->text().trimmed();
    settings.connectionString = Kapcsolat->text().trimmed();
    settings.login = Felhasznalo->text().trimmed();
    settings.requireTls = Tls->isChecked();
    settings.rememberPassword = JelszoMegjegyzese->isChecked();
    return settings;
}

QString TIntezmeny::refusal(const ServerSettings& settings) const {
    if (!settings.isConfigured() || settings.fromEnvironment)
        return QString();
    try {
        if (settings.address().holdsPassword())
            return QStringLiteral("A kapcsolódási szövegben jelszó van, a program pedig jelszót nem ír fájlba: hagyja "
                                  "ki belőle, és írja a Jelszó mezőbe.");
    } catch (const UserError& e) {
        return e.text();
    }
    return QString();
}

void TIntezmeny::showResult(const QString& text, bool good) {
    Eredmeny->setStyleSheet(good ? QStringLiteral("color: #106010;") : QStringLiteral("color: #a01010;"));
    Eredmeny->setText(text);
}

void TIntezmeny::ProbaClick() {
    const ServerSettings settings = typed();
    if (!settings.isConfigured()) {
        showResult(QStringLiteral("Nincs megadva kiszolgáló."), false);
        return;
    }
    QString where;
    try {
        where = settings.address().describe();
    } catch (const UserError& e) {
        showResult(e.text(), false);
        return;
    }
    const QByteArray password = Jelszo->text().isEmpty() ? m_client.passwordFor(settings) : Jelszo->text().toUtf8();
    const int test = ++m_test;
    showResult(QStringLiteral("Kapcsolódás: %1…").arg(where), true);
    auto identity = std::make_shared<std::optional<Accounts::Identity>>();
    ServerJob::run(
        this, settings.address(), password,
        [identity](Connection& connection) { *identity = Accounts::whoAmI(connection); },
        [this, test, identity, where](const std::optional<ServerFailure>& failure) {
            if (test != m_test)
                return;
            if (failure)
                showResult(failure->passwordMissing
                               ? QStringLiteral("A kiszolgáló jelszót kér: írja be a Jelszó mezőbe.\n") + failure->text
                               : failure->text,
                           false);
            else if (!*identity)
                showResult(QStringLiteral("A kiszolgáló beengedte (%1), de az intézményi archívumban nincs ilyen "
                                          "felhasználó: az adminisztrátor vegye fel.")
                               .arg(where),
                           false);
            else
                showResult(QStringLiteral("A bejelentkezés sikerült (%1).\nSzerepkör: %2.")
                               .arg(where, Accounts::describe(**identity)),
                           true);
        });
}

void TIntezmeny::RendbenClick() {
    const ServerSettings settings = typed();
    if (const QString why = refusal(settings); !why.isEmpty()) {
        showResult(why, false);
        return;
    }
    const QByteArray password = Jelszo->text().isEmpty() ? m_client.passwordFor(settings) : Jelszo->text().toUtf8();
    if (settings != m_client.settings() || !Jelszo->text().isEmpty()) {
        if (!reportFailure(m_platform, [&] { m_client.changeSettings(settings, password); }))
            return;
    }
    accept();
}
