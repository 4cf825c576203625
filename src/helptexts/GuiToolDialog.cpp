#include "helptexts/GuiToolDialog.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextDocument>

GuiToolDialog::GuiToolDialog(Frame frame, QWidget* parent) : QDialog(parent) {
    Qt::WindowFlags flags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame == Frame::CloseBox)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
}

void GuiToolDialog::reject() {}

void GuiToolDialog::closeEvent(QCloseEvent* event) {
    event->accept();
}

QFont GuiToolDialog::font(const QString& family, int pixelSize) {
    QFont f;
    QStringList families{family};
    if (family == QLatin1String("Arial"))
        families << QStringLiteral("Liberation Sans");
    else if (family == QLatin1String("Courier New"))
        families << QStringLiteral("Liberation Mono");
    f.setFamilies(families);
    f.setPixelSize(pixelSize);
    return f;
}

QPlainTextEdit* GuiToolDialog::memo(QWidget* parent, const QString& objectName, const QFont& font, const QColor& text,
                                    const QColor& background) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(objectName);
    edit->setFont(font);
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Base, background);
    edit->setPalette(p);
    return edit;
}

QString GuiToolDialog::memoText(const QPlainTextEdit* edit) {
    QString text = edit->document()->toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
        case 0xfdd0: // frame markers
        case 0xfdd1:
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}
