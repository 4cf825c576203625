#pragma once

#include <QDialog>

class AppState;
struct Forms;
class QPlainTextEdit;

// "Vizsgálatvezetők listájának módosítása": edits the examiner list the personal-data window
// offers. The list selector names the list; "vv" is vv.txt.
//
//   Memo1   the list's text, one examiner a line; reloaded whenever the window becomes active
//   kesz    "Kész": writes the text back and hides the window
class TVV_lista : public QDialog {
    Q_OBJECT
public:
    TVV_lista(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void setListSelector(const QString& selector) { m_selector = selector; }
    const QString& listSelector() const { return m_selector; }

public slots:
    void FormActivate();
    void keszClick();

protected:
    bool event(QEvent* event) override;

private:
    QString listFile() const;
    QString memoText() const;

    AppState& m_state;
    Forms& m_forms;
    QString m_selector;
    // Set while an error box of our own is up, so that coming back from it does not reload
    // (and report) again.
    bool m_ignoreNextActivation = false;
    // Set when the window lost the focus to another program rather than to one of ours.
    bool m_deactivatedByOtherProgram = false;
    QPlainTextEdit* Memo1 = nullptr;
};
