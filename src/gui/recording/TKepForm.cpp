#include "gui/recording/TKepForm.h"

#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

TKepForm::TKepForm(ExamSession& session, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::CloseBox, parent), m_session(session), m_platform(platform) {
    setObjectName(QStringLiteral("TKepForm"));
    setWindowTitle(QStringLiteral("A vizsgálat képei"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(320, 403);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setScaledContents(false);

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (int n = 1; n <= kPictureCount; ++n) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButton") + QString::number(n));
        button->setText(QString::number(n) + QLatin1Char('.'));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setFixedWidth(36);
        // 24 buttons of 17 pixels stand as high as the picture.
        button->setFixedHeight(17);
        m_group->addButton(button, n);
        buttons->addWidget(button);
        m_speedButtons[static_cast<size_t>(n - 1)] = button;
    }
    buttons->addStretch();

    // The current picture's button must stand out at a glance.
    setStyleSheet(
        QStringLiteral("QToolButton:checked { background-color: #1f5fbf; color: white; font-weight: bold; }"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_group, &QButtonGroup::idClicked, this, &TKepForm::SpeedButton1Click);
    connect(&m_session, &ExamSession::pictureSelected, this, &TKepForm::showPicture);
    // Made when first needed: it opens on the picture in hand.
    showPicture(m_session.currentPicture());
}

void TKepForm::SpeedButton1Click(int tag) {
    selectPicture(tag);
}

void TKepForm::selectPicture(int picture) {
    if (!reportFailure(m_platform, [&] { m_session.selectPicture(picture); })) {
        // The click already pushed the new button down; the old picture stays current.
        m_speedButtons[static_cast<size_t>(m_session.currentPicture() - 1)]->setChecked(true);
    }
}

void TKepForm::showPicture(int picture) {
    loadBitmap(picture);
    m_speedButtons[static_cast<size_t>(picture - 1)]->setChecked(true);
}

void TKepForm::loadBitmap(int picture) {
    const QString path = m_session.root().pictureFile(picture);
    QPixmap pixmap;
    if (pixmap.load(path)) {
        Image1->setPixmap(pixmap);
        return;
    }
    // The selection goes on with an empty picture: stopping here would leave the previous
    // picture's answer in the window, bound to this picture's answer file.
    Image1->clear();
    m_platform.message(UserError::cannotOpen(path).text());
}
