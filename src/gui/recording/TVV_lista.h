#pragma once

#include "base/DataRoot.h"
#include "gui/common/Widgets.h"

#include <QDialog>

class Platform;
class QPlainTextEdit;

// "Vizsgálatvezetők listájának módosítása": edits the examiner list the personal-data window
// offers. The list selector names the list; "vv" is vv.txt.
//
//   Memo1   the list's text, one examiner a line; reloaded whenever the window becomes active
//   kesz    "Kész": writes the text back and hides the window
class TVV_lista : public QDialog {
    Q_OBJECT
public:
    // The parent is the personal-data window: as its child the editor stays usable while that
    // window is modal.
    TVV_lista(const DataRoot& root, Platform& platform, QWidget* parent);

    void setListSelector(const QString& selector) { m_selector = selector; }
    const QString& listSelector() const { return m_selector; }
    // Sets the selector and brings the editor up, non-modally.
    void openList(const QString& selector);

public slots:
    void FormActivate();
    void keszClick();

protected:
    bool event(QEvent* event) override;

private:
    QString listFile() const;

    DataRoot m_root;
    Platform& m_platform;
    QString m_selector;
    // Set while an error box of our own is up, so that coming back from it does not reload
    // (and report) again.
    bool m_ignoreNextActivation = false;
    OwnActivation m_activation;
    QPlainTextEdit* Memo1 = nullptr;
};
