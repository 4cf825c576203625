#pragma once

#include <QDialog>
#include <QFont>

class QPlainTextEdit;

// The program's always-on-top tool windows. They live for the whole run and are only shown
// and hidden, so Escape must not hide them behind the examiner's back; the close box (where
// a window has one) hides the window as in any other program.
class GuiToolDialog : public QDialog {
    Q_OBJECT
public:
    enum class Frame { CloseBox, NoButtons };

    GuiToolDialog(Frame frame, QWidget* parent);

    void reject() override;

    // The Windows font family, with the metric-compatible family Linux installs beside it.
    static QFont font(const QString& family, int pixelSize);
    // A plain-text editor filling the window, with the given colours.
    static QPlainTextEdit* memo(QWidget* parent, const QString& objectName, const QFont& font, const QColor& text,
                                const QColor& background);
    // An editor's text with its lines joined by "\n" and every other character as it stands;
    // QPlainTextEdit::toPlainText() would turn no-break spaces into plain ones.
    static QString memoText(const QPlainTextEdit* edit);

protected:
    void closeEvent(QCloseEvent* event) override;
};
