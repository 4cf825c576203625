#pragma once

#include "formats/LayoutFile.h"
#include "services/ArchiveLoader.h"

#include <QDialog>
#include <QFileSystemWatcher>
#include <QTimer>

#include <optional>

class ArchiveSortFilter;
class ArchiveTableModel;
class Commands;
class ExamSession;
class Platform;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

// "Archívum": every examination of gy_vkt/archivum at a glance. It follows the folder while it is
// open (a save of the program or a file copied in shows up), reads the files off the GUI thread,
// and changes none of them.
//
//   Kereses      search field: filters as one types, on name, code and examiner, case and
//                accents ignored; Enter opens the selected examination
//   Darabszam    how many examinations are shown of how many
//   Gyermek      while the list shows one child's examinations only: whose, and how many
//   Mind         "Mind": every child's examinations again
//   Folyamat     progress bar, while a long listing reads the files
//   Tabla        the examinations; a click on a column's header sorts by it, a double click or
//                Enter opens one; a malformed file is marked, its reader's message in the tooltip;
//                Ctrl/Shift-click selects several; a click on a row's "Vizsg." count (examinations
//                of the same child), or Enter on it, shows that child's examinations only
//   Megnyitas    "Megnyitás": opens the selected examination as the menu's "Megnyitás" does, then
//                hides the window
//   Jegyzokonyv  "Jegyzőkönyv": the selected examination's protocol, made first when needed
//   Osszehasonlitas  "Összehasonlítás": the two to four selected examinations side by side
//   Bezaras      "Bezárás": hides the window
class TArchivum : public QDialog {
    Q_OBJECT
public:
    TArchivum(const ExamSession& session, Commands& commands, Platform& platform, QWidget* parent);

    // Shows the window (listing the folder anew) or brings it to the front.
    void showArchive();
    // The selected examination's path; empty unless exactly one is selected.
    QString selectedPath() const;
    // Every selected examination's path, in the order of the list.
    QStringList selectedPaths() const;
    bool isListing() const { return m_loader.isListing(); }

public slots:
    void KeresesChange(const QString& text);
    void MegnyitasClick();
    void JegyzokonyvClick();
    void OsszehasonlitasClick();
    // Shows only the examinations of one child (ArchiveListing::childKey); empty shows all again.
    void showChild(const QString& childKey);
    // Lists the folder again; only files changed since the last listing are read.
    void refresh();

signals:
    // A listing has ended and the table shows its rows.
    void listingShown();
    // "Összehasonlítás" with these examination files.
    void comparisonWanted(const QStringList& paths);

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    QWidget* buildChildBar();
    void TablaClick(const QModelIndex& index);
    void TablaActivated(const QModelIndex& index);
    void placeWindow();
    void storePlace();
    void showRows(const QList<ArchiveRow>& rows);
    void showFailure(const QString& message);
    void showProgress(int done, int total);
    void updateCount();
    void updateChildBar();
    void updateButtons();
    void selectSomeRowIfNone();
    // The list from its first row, the selected examination scrolled into view.
    void showTopAndSelection();

    const ExamSession& m_session;
    Commands& m_commands;
    Platform& m_platform;
    ArchiveLoader m_loader;
    ArchiveTableModel* m_model = nullptr;
    ArchiveSortFilter* m_sorted = nullptr;
    QFileSystemWatcher m_watcher;
    // Saving writes a temporary file and renames it: one refresh for the whole burst of changes.
    QTimer m_folderChanged;
    // A listing that ends quickly does not flash the progress bar.
    QTimer m_progressDelay;
    bool m_placeRead = false;
    std::optional<LayoutFile::Geometry> m_storedPlace;
    QString m_failure;

    QLineEdit* Kereses = nullptr;
    QLabel* Darabszam = nullptr;
    QWidget* m_childBar = nullptr;
    QLabel* Gyermek = nullptr;
    QPushButton* Mind = nullptr;
    QProgressBar* Folyamat = nullptr;
    QTableView* Tabla = nullptr;
    QPushButton* Megnyitas = nullptr;
    QPushButton* Jegyzokonyv = nullptr;
    QPushButton* Osszehasonlitas = nullptr;
    QPushButton* Bezaras = nullptr;
};
