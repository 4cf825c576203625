#include "gui/shell/TAboutForm.h"

#include "base/DataRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "gui/common/QtPlatform.h"

#include <QLabel>
#include <QVBoxLayout>

TAboutForm::TAboutForm(const DataRoot& root, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TAboutForm"));
    setWindowTitle(QStringLiteral("a program névjegye"));
    setFixedSize(277, 177);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 12, 10, 12);
    layout->addStretch(1);
    const QStringList lines = aboutLines(root.gyVkt(QStringLiteral("nevjegy.txt")));
    for (int i = 0; i < lines.size(); ++i) {
        auto* label = new QLabel(lines.at(i), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (i == 0) {
            QFont font = label->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.5);
            label->setFont(font);
        }
        layout->addWidget(label);
    }
    layout->addStretch(1);
}

QStringList TAboutForm::aboutLines(const QString& path) {
    QStringList lines;
    try {
        lines = TextFile::readLines(path);
    } catch (const UserError&) {
        // The about box is no place for an error; it falls back on what it always knows.
    }
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        lines << QStringLiteral("gyermek VKT") << QStringLiteral("Tavrix");
    return lines;
}

void TAboutForm::showEvent(QShowEvent* event) {
    centreOnScreen(this);
    QDialog::showEvent(event);
}
