#include "gui/helptexts/TPeldatar.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "gui/common/Widgets.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPeldatar::TPeldatar(const DataRoot& root, Platform& platform, QWidget* parent)
    : ToolWindow(Frame::NoButtons, parent), m_root(root), m_platform(platform) {
    setObjectName(QStringLiteral("TPeldatar"));
    setWindowTitle(QStringLiteral("Példa az aktuális képhez és jelhez"));
    setToolTip(QStringLiteral("Ha van példa, itt láthatja."));
    Memo1 =
        Widgets::memo(this, QStringLiteral("Memo1"), Widgets::font(QStringLiteral("Arial"), 15), Qt::black, Qt::cyan);
    Button1 = new QPushButton(QStringLiteral("mentés"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("Elmenti a példa változásait."));
    Button1->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(Memo1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    layout->addLayout(buttons);
    setGeometry(391, 451, 411, 259);

    connect(Button1, &QPushButton::clicked, this, &TPeldatar::Button1Click);
}

void TPeldatar::showExamples(int number, int picture, const QString& combination) {
    reportFailure(
        m_platform,
        [&] {
            switch (m_current.request(m_root.exampleFile(number, picture))) {
            case HelpTexts::CurrentFile::Result::Unchanged:
                break;
            case HelpTexts::CurrentFile::Result::Loaded:
                Memo1->setPlainText(HelpTexts::memoText(m_current.lines()));
                break;
            case HelpTexts::CurrentFile::Result::Missing:
                Memo1->clear();
                if (number > 11)
                    Memo1->setPlainText(HelpTexts::combinationHeading(picture, combination));
                break;
            }
        },
        // An unreadable example must not leave another example's text under this file's name.
        [this] { Memo1->clear(); });
}

void TPeldatar::Button1Click() {
    // Nothing was asked for yet, so there is no file the text could belong to.
    if (m_current.path().isEmpty())
        return;
    reportFailure(m_platform,
                  [this] { TextFile::writeLines(m_current.path(), HelpTexts::memoLines(Widgets::memoText(Memo1))); });
}

void TPeldatar::scrollText(int angleDelta) {
    Widgets::scrollLikeTheWheel(Memo1, angleDelta);
}
