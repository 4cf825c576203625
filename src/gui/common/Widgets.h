#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QEvent;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// Small pieces the windows build themselves from.
namespace Widgets {

// The Windows font family, with the metric-compatible family Linux installs beside it.
QFont font(const QString& family, int pixelSize);
// A plain-text editor with the given object name, font and colours.
QPlainTextEdit* memo(QWidget* parent, const QString& objectName, const QFont& font, const QColor& text,
                     const QColor& background);
// An editor's text with its lines joined by "\n" and every other character as it stands;
// QPlainTextEdit::toPlainText() would turn no-break spaces into plain ones.
QString memoText(const QPlainTextEdit* edit);
// Scrolls an editor as the wheel turned by this angle over it would.
void scrollLikeTheWheel(QPlainTextEdit* edit, int angleDelta);
// A push button that does not take Enter from the window's default button.
QPushButton* makeButton(const QString& text, const QString& objectName, QWidget* parent);
// Gives a shown window the keyboard. QWidget::activateWindow() does nothing while another window
// of the same owner has it (the owner's transient windows count as active together), which is
// exactly when the program moves the keyboard between its tool windows.
void activate(QWidget* window);

} // namespace Widgets

// Tells a window's activations among the program's own windows from a return from another
// program: coming back from a look at another program must not count as the window becoming
// active again (the personal data's warning would go, an edit of the examiner list be lost).
class OwnActivation {
public:
    // Feed every event of the window; true for an activation that counts.
    bool counts(const QEvent* event);

private:
    bool m_deactivatedByOtherProgram = false;
};
