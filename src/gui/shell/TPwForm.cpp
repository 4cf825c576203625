#include "gui/shell/TPwForm.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "base/TextFile.h"
#include "formats/PasswordStore.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* makeLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* makeSecretEdit(const QString& name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(32);
    return edit;
}

// A result panel: one bold line and its "rendben" button.
void fillResultPanel(QWidget* panel, const QString& text, const QString& labelName, QPushButton* button) {
    auto* layout = new QVBoxLayout(panel);
    QLabel* label = makeLabel(text, labelName, panel);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    label->setFont(font);
    layout->addStretch(1);
    layout->addWidget(label);
    layout->addStretch(1);
    layout->addWidget(button, 0, Qt::AlignHCenter);
}

} // namespace

TPwForm::TPwForm(Commands& commands, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_commands(commands) {
    setObjectName(QStringLiteral("TPwForm"));
    setWindowTitle(QStringLiteral("program-jelszó változtatás"));
    setFixedSize(400, 162);
    setModal(true);

    Panel1 = makePanel("Panel1");
    auto* grid = new QGridLayout(Panel1);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setVerticalSpacing(4);
    QLabel* rule = makeLabel(QStringLiteral("Csak számokat használhat jelszóként (legalább 6, max. 9 szám)"),
                             QStringLiteral("Label4"), Panel1);
    rule->setWordWrap(true);
    grid->addWidget(rule, 0, 0, 1, 3);
    Edit1 = makeSecretEdit(QStringLiteral("Edit1"), Panel1);
    Edit2 = makeSecretEdit(QStringLiteral("Edit2"), Panel1);
    Edit3 = makeSecretEdit(QStringLiteral("Edit3"), Panel1);
    grid->addWidget(makeLabel(QStringLiteral("írja be a régi jelszót . . ."), QStringLiteral("Label1"), Panel1), 1, 0);
    grid->addWidget(Edit1, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral(". . . az újat . . ."), QStringLiteral("Label2"), Panel1), 2, 0);
    grid->addWidget(Edit2, 2, 1);
    grid->addWidget(makeLabel(QStringLiteral(". . . majd erősítse meg azt:"), QStringLiteral("Label3"), Panel1), 3, 0);
    grid->addWidget(Edit3, 3, 1);
    Button1 = Widgets::makeButton(QStringLiteral("kész"), QStringLiteral("Button1"), Panel1);
    Button1->setDefault(true);
    grid->addWidget(Button1, 3, 2);

    Panel2 = makePanel("Panel2");
    auto* button2 = Widgets::makeButton(QStringLiteral("rendben"), QStringLiteral("Button2"), Panel2);
    button2->setAutoDefault(true);
    fillResultPanel(Panel2, QStringLiteral("A jelszóváltozás érvénybe lépett"), QStringLiteral("Label5"), button2);
    Panel3 = makePanel("Panel3");
    auto* button3 = Widgets::makeButton(QStringLiteral("rendben"), QStringLiteral("Button3"), Panel3);
    button3->setAutoDefault(true);
    fillResultPanel(Panel3, QStringLiteral("A jelszóváltozás érvénytelen!!!"), QStringLiteral("Label6"), button3);

    connect(Edit1, &QLineEdit::textChanged, this, &TPwForm::Edit1Change);
    connect(Button1, &QPushButton::clicked, this, &TPwForm::Button1Click);
    connect(button2, &QPushButton::clicked, this, &TPwForm::Button2Click);
    connect(button3, &QPushButton::clicked, this, &TPwForm::Button3Click);
}

QWidget* TPwForm::makePanel(const char* name) {
    auto* panel = new QWidget(this);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(0, 0, 400, 162);
    return panel;
}

void TPwForm::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    FormActivate();
    QDialog::showEvent(event);
}

void TPwForm::FormActivate() {
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit1Change();
    Panel1->show();
    Panel2->hide();
    Panel3->hide();
    Edit1->setFocus();
}

void TPwForm::Edit1Change() {
    Button1->setEnabled(!Edit1->text().isEmpty());
}

void TPwForm::Button1Click() {
    if (!m_commands.changePassword(Edit1->text(), Edit2->text(), Edit3->text())) {
        Panel1->hide();
        Panel3->show();
        Panel3->findChild<QPushButton*>()->setFocus();
        return;
    }
    Panel1->hide();
    Panel2->show();
    Panel2->findChild<QPushButton*>()->setFocus();
}

void TPwForm::Button2Click() {
    accept();
}

void TPwForm::Button3Click() {
    accept();
}
