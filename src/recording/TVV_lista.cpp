#include "recording/TVV_lista.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"
#include "recording/TSzemAd.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

TVV_lista::TVV_lista(AppState& state, Forms& forms, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_state(state), m_forms(forms) {
    setObjectName(QStringLiteral("TVV_lista"));
    setWindowTitle(QStringLiteral("Vizsgálatvezetők listájának módosítása"));
    resize(440, 320);
    // Opened from the personal-data window while that one may be modal; as its child the editor
    // stays usable then.
    if (m_forms.szemAd)
        setParent(m_forms.szemAd, windowFlags());

    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Memo1, 1);
    auto* kesz = new QPushButton(QStringLiteral("Kész"), this);
    kesz->setObjectName(QStringLiteral("kesz"));
    kesz->setAutoDefault(false);
    layout->addWidget(kesz, 0, Qt::AlignRight);
    connect(kesz, &QPushButton::clicked, this, &TVV_lista::keszClick);
}

QString TVV_lista::listFile() const {
    return m_selector == QStringLiteral("vv") ? m_state.root.examinerList() : QString();
}

bool TVV_lista::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        // Coming back from another program is no activation among the program's own windows:
        // what is being typed here must survive a look at another program.
        m_deactivatedByOtherProgram = QApplication::activeWindow() == nullptr;
    } else if (event->type() == QEvent::WindowActivate) {
        if (m_ignoreNextActivation || m_deactivatedByOtherProgram) {
            m_ignoreNextActivation = false;
            m_deactivatedByOtherProgram = false;
        } else {
            FormActivate();
        }
    } else if (event->type() == QEvent::Show) {
        FormActivate();
    }
    return QDialog::event(event);
}

void TVV_lista::FormActivate() {
    const QString path = listFile();
    if (path.isEmpty())
        return;
    try {
        if (!QFile::exists(path))
            throw FileError::cannotOpen(path);
        Memo1->setPlainText(TextFile::readMemoText(path));
    } catch (const FileError& e) {
        m_ignoreNextActivation = true;
        m_state.platform.message(e.text());
    }
}

QString TVV_lista::memoText() const {
    // The editor's plain text turns non-breaking spaces into blanks; a name is written back
    // exactly as it stands, only the paragraph ends become line breaks.
    QString text = Memo1->document()->toRawText();
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

void TVV_lista::keszClick() {
    const QString path = listFile();
    if (!path.isEmpty()) {
        try {
            TextFile::writeMemoText(path, memoText());
        } catch (const FileError& e) {
            m_ignoreNextActivation = true;
            m_state.platform.message(e.text());
            return;
        }
    }
    hide();
}
