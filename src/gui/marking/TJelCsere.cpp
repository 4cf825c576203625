#include "gui/marking/TJelCsere.h"

#include "app/ExamSession.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TJelCsere::TJelCsere(ExamSession& session, QWidget* parent) : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("TJelCsere"));
    setWindowTitle(QStringLiteral("Törlés"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    QFont bold = font();
    bold.setPointSize(8);
    bold.setBold(true);
    setFont(bold);

    auto* label7 = new QLabel(QStringLiteral("Melyiket töröljem?"), this);
    label7->setObjectName(QStringLiteral("Label7"));
    auto* label3 = new QLabel(QStringLiteral("A gombok benyomásával jelölje ki a törlendőket!"), this);
    label3->setObjectName(QStringLiteral("Label3"));

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::StyledPanel);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(bevel);
    const char* const headings[4] = {"O - D", "E - D", "N - P", "(  )"};
    for (int group = 0; group < 4; ++group) {
        auto* heading = new QLabel(QString::fromLatin1(headings[group]), bevel);
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, group);
    }
    for (int n = 1; n <= 7; ++n) {
        auto* b = new QPushButton(bevel);
        b->setObjectName(QStringLiteral("Button") + QString::number(n));
        // Each button toggles on its own: any number of them may be down, or none.
        b->setCheckable(true);
        b->setAutoDefault(false);
        b->setFixedSize(n == 7 ? 64 : 44, 28);
        grid->addWidget(b, n == 7 ? 1 : 1 + (n - 1) % 2, n == 7 ? 3 : (n - 1) / 2, Qt::AlignCenter);
        m_buttons[static_cast<size_t>(n - 1)] = b;
    }

    // A pressed button marks its code for deletion: it must be plain at a glance, so it turns red
    // and its code is struck through.
    bevel->setStyleSheet(QStringLiteral("QPushButton:checked { background-color: #c62828; color: white; "
                                        "border: 2px solid #7f0000; border-radius: 3px; "
                                        "text-decoration: line-through; }"));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label7);
    layout->addWidget(label3);
    layout->addWidget(bevel);
    layout->addWidget(OKBtn, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, &TJelCsere::OKBtnClick);
}

void TJelCsere::run(const QString& caption) {
    setWindowTitle(caption);
    exec();
}

void TJelCsere::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
    OKBtn->setFocus();
}

void TJelCsere::FormActivate() {
    m_captions = Coding::deletionButtons(m_session.coding().line(m_session.currentPicture()));
    for (int i = 1; i <= 7; ++i) {
        const QString& caption = m_captions[static_cast<size_t>(i - 1)];
        // Some desktops add accelerators to button texts, so the codes are kept apart from them.
        button(i)->setText(caption);
        // A dialog left without OK (Escape) must not carry its choice into the next showing.
        button(i)->setChecked(false);
        button(i)->setEnabled(!caption.isEmpty());
    }
}

void TJelCsere::OKBtnClick() {
    std::array<bool, 7> pressed{};
    for (size_t i = 0; i < pressed.size(); ++i)
        pressed[i] = m_buttons[i]->isChecked();
    m_session.grid().setScoringLine(m_session.currentPicture(), Coding::afterDeletion(m_captions, pressed));
    for (QPushButton* b : m_buttons)
        b->setChecked(false);
    accept();
}
