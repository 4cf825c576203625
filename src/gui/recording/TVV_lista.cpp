#include "gui/recording/TVV_lista.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/TextFile.h"
#include "base/UserError.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

TVV_lista::TVV_lista(const DataRoot& root, Platform& platform, QWidget* parent)
    // A dialog of the personal-data window, so that it comes up and stays above it.
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_root(root), m_platform(platform) {
    setObjectName(QStringLiteral("TVV_lista"));
    setWindowTitle(QStringLiteral("Vizsgálatvezetők listájának módosítása"));
    resize(440, 320);

    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Memo1, 1);
    auto* kesz = Widgets::makeButton(QStringLiteral("Kész"), QStringLiteral("kesz"), this);
    layout->addWidget(kesz, 0, Qt::AlignRight);
    connect(kesz, &QPushButton::clicked, this, &TVV_lista::keszClick);
}

QString TVV_lista::listFile() const {
    return m_selector == QStringLiteral("vv") ? m_root.examinerList() : QString();
}

void TVV_lista::openList(const QString& selector) {
    setListSelector(selector);
    show();
    raise();
    activateWindow();
}

bool TVV_lista::event(QEvent* event) {
    const bool activation = event->type() == QEvent::WindowActivate;
    if (m_activation.counts(event) && !m_ignoreNextActivation)
        FormActivate();
    else if (event->type() == QEvent::Show)
        FormActivate();
    if (activation)
        m_ignoreNextActivation = false;
    return QDialog::event(event);
}

void TVV_lista::FormActivate() {
    const QString path = listFile();
    if (path.isEmpty())
        return;
    reportFailure(
        m_platform,
        [&] {
            if (!QFile::exists(path))
                throw UserError::cannotOpen(path);
            Memo1->setPlainText(TextFile::readMemoText(path));
        },
        [this] { m_ignoreNextActivation = true; });
}

void TVV_lista::keszClick() {
    const QString path = listFile();
    if (!path.isEmpty()) {
        if (!reportFailure(
                m_platform, [&] { TextFile::writeMemoText(path, Widgets::memoText(Memo1)); },
                [this] { m_ignoreNextActivation = true; }))
            return;
    }
    hide();
}
