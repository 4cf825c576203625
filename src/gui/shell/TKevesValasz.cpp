#include "gui/shell/TKevesValasz.h"

#include "gui/common/QtPlatform.h"
#include "model/ProtocolGate.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* boldLabel(const QString& name, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

TKevesValasz::TKevesValasz(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TKevesValasz"));
    setWindowTitle(QStringLiteral("Kevés a lejelölt válasz!!!"));
    setFixedSize(360, 170);
    setAutoFillBackground(true);
    QPalette red = palette();
    red.setColor(QPalette::Window, Qt::red);
    setPalette(red);

    auto* layout = new QVBoxLayout(this);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    auto* inner = new QVBoxLayout(frame);
    Label1 = boldLabel(QStringLiteral("Label1"), Qt::white, frame);
    Label2 = boldLabel(QStringLiteral("Label2"), Qt::yellow, frame);
    Label2->setText(ProtocolGate::minimumMarkedText());
    inner->addWidget(Label1);
    inner->addWidget(Label2);
    layout->addWidget(frame, 1);

    auto* okButton = new QPushButton(QStringLiteral("Rendben"), this);
    okButton->setObjectName(QStringLiteral("OKBtn"));
    okButton->setDefault(true);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TKevesValasz::setCount(int count) {
    Label1->setText(ProtocolGate::tooFewMarkedText(count));
}

void TKevesValasz::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QDialog::showEvent(event);
}
