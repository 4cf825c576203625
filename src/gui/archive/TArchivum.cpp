#include "gui/archive/TArchivum.h"

#include "app/Commands.h"
#include "app/ErrorBoundary.h"
#include "app/ExamSession.h"
#include "formats/ArchiveWindowFile.h"
#include "gui/archive/ArchiveTable.h"
#include "gui/common/Widgets.h"
#include "model/Comparison.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

TArchivum::TArchivum(const ExamSession& session, Commands& commands, Platform& platform, QWidget* parent)
    // A dialog of the main window, so that the maximized main window never covers it, with the
    // buttons of a window the examiner may enlarge.
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_session(session), m_commands(commands), m_platform(platform) {
    setObjectName(QStringLiteral("TArchivum"));
    setWindowTitle(QStringLiteral("Archívum"));
    resize(1040, 560);
    buildControls();

    m_folderChanged.setSingleShot(true);
    m_folderChanged.setInterval(150);
    m_progressDelay.setSingleShot(true);
    m_progressDelay.setInterval(250);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_folderChanged, qOverload<>(&QTimer::start));
    connect(&m_folderChanged, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    connect(&m_progressDelay, &QTimer::timeout, this, [this] {
        if (m_loader.isListing())
            Folyamat->show();
    });
    connect(&m_loader, &ArchiveLoader::progress, this, &TArchivum::showProgress);
    connect(&m_loader, &ArchiveLoader::listed, this, &TArchivum::showRows);
    connect(&m_loader, &ArchiveLoader::failed, this, &TArchivum::showFailure);
    // The window may still be open when the program ends: its place is kept then too.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        if (isVisible())
            storePlace();
    });
}

void TArchivum::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Keresés:"), this);
    Kereses = new QLineEdit(this);
    Kereses->setObjectName(QStringLiteral("Kereses"));
    Kereses->setPlaceholderText(QStringLiteral("név, kód vagy vizsgálatvezető"));
    Kereses->setClearButtonEnabled(true);
    label->setBuddy(Kereses);
    Darabszam = new QLabel(this);
    Darabszam->setObjectName(QStringLiteral("Darabszam"));
    Darabszam->setMinimumWidth(240);
    Darabszam->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(label);
    top->addWidget(Kereses, 1);
    top->addWidget(Darabszam);
    layout->addLayout(top);

    m_model = new ArchiveTableModel(this);
    m_sorted = new ArchiveSortFilter(m_model, this);
    Tabla = new QTableView(this);
    Tabla->setObjectName(QStringLiteral("Tabla"));
    Tabla->setModel(m_sorted);
    Tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tabla->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabla->setAlternatingRowColors(true);
    Tabla->setWordWrap(false);
    Tabla->verticalHeader()->hide();
    // Fixed heights and widths: measuring ten thousand rows would stall every change.
    Tabla->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Tabla->verticalHeader()->setDefaultSectionSize(Tabla->fontMetrics().height() + 8);
    QHeaderView* header = Tabla->horizontalHeader();
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    const int widths[ArchiveTableModel::ColumnCount] = {90, 200, 55, 50, 45, 100, 170, 60, 130, 130};
    for (int c = 0; c < ArchiveTableModel::ColumnCount; ++c)
        header->resizeSection(c, widths[c]);
    header->setSectionResizeMode(ArchiveTableModel::Name, QHeaderView::Stretch);
    Tabla->setSortingEnabled(true);
    Tabla->sortByColumn(ArchiveTableModel::Code, Qt::AscendingOrder);
    layout->addWidget(Tabla, 1);

    auto* bottom = new QHBoxLayout;
    Folyamat = new QProgressBar(this);
    Folyamat->setObjectName(QStringLiteral("Folyamat"));
    Folyamat->setFormat(QStringLiteral("Olvasás: %v / %m"));
    Folyamat->hide();
    Megnyitas = Widgets::makeButton(QStringLiteral("Megnyitás"), QStringLiteral("Megnyitas"), this);
    Jegyzokonyv = Widgets::makeButton(QStringLiteral("Jegyzőkönyv"), QStringLiteral("Jegyzokonyv"), this);
    Osszehasonlitas = Widgets::makeButton(QStringLiteral("Összehasonlítás"), QStringLiteral("Osszehasonlitas"), this);
    Bezaras = Widgets::makeButton(QStringLiteral("Bezárás"), QStringLiteral("Bezaras"), this);
    bottom->addWidget(Folyamat, 1);
    // Below the list, so that the rows stay where they were clicked.
    bottom->addWidget(buildChildBar());
    bottom->addStretch();
    bottom->addWidget(Megnyitas);
    bottom->addWidget(Jegyzokonyv);
    bottom->addWidget(Osszehasonlitas);
    bottom->addSpacing(16);
    bottom->addWidget(Bezaras);
    layout->addLayout(bottom);

    connect(Kereses, &QLineEdit::textChanged, this, &TArchivum::KeresesChange);
    connect(Kereses, &QLineEdit::returnPressed, this, &TArchivum::MegnyitasClick);
    // Enter and a double click both activate a row.
    connect(Tabla, &QTableView::activated, this, &TArchivum::TablaActivated);
    connect(Tabla, &QTableView::clicked, this, &TArchivum::TablaClick);
    connect(Tabla->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TArchivum::updateButtons);
    // After the view's own handler, which sorts.
    connect(header, &QHeaderView::sortIndicatorChanged, this, &TArchivum::showTopAndSelection);
    connect(Megnyitas, &QPushButton::clicked, this, &TArchivum::MegnyitasClick);
    connect(Jegyzokonyv, &QPushButton::clicked, this, &TArchivum::JegyzokonyvClick);
    connect(Osszehasonlitas, &QPushButton::clicked, this, &TArchivum::OsszehasonlitasClick);
    connect(Bezaras, &QPushButton::clicked, this, &TArchivum::hide);
    connect(m_sorted, &QAbstractItemModel::rowsInserted, this, &TArchivum::updateCount);
    connect(m_sorted, &QAbstractItemModel::rowsRemoved, this, &TArchivum::updateCount);
    connect(m_sorted, &QAbstractItemModel::modelReset, this, &TArchivum::updateCount);
    updateCount();
    updateButtons();
}

QWidget* TArchivum::buildChildBar() {
    m_childBar = new QWidget(this);
    auto* bar = new QHBoxLayout(m_childBar);
    bar->setContentsMargins(0, 0, 0, 0);
    Gyermek = new QLabel(m_childBar);
    Gyermek->setObjectName(QStringLiteral("Gyermek"));
    Mind = Widgets::makeButton(QStringLiteral("Mind"), QStringLiteral("Mind"), m_childBar);
    Mind->setToolTip(QStringLiteral("Újra minden gyermek vizsgálatai látszanak."));
    bar->addWidget(Gyermek);
    bar->addWidget(Mind);
    m_childBar->hide();
    connect(Mind, &QPushButton::clicked, this, [this] { showChild(QString()); });
    return m_childBar;
}

void TArchivum::showArchive() {
    if (!isVisible())
        placeWindow();
    show();
    raise();
    activateWindow();
    refresh();
}

QString TArchivum::selectedPath() const {
    const QStringList paths = selectedPaths();
    return paths.size() == 1 ? paths.first() : QString();
}

QStringList TArchivum::selectedPaths() const {
    QModelIndexList rows = Tabla->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList paths;
    for (const QModelIndex& row : std::as_const(rows))
        paths << row.data(ArchiveTableModel::PathRole).toString();
    return paths;
}

bool TArchivum::event(QEvent* event) {
    // Coming back to the window looks at the folder again: a file may have been copied in.
    if (event->type() == QEvent::WindowActivate && isVisible())
        refresh();
    return QDialog::event(event);
}

void TArchivum::hideEvent(QHideEvent* event) {
    if (!event->spontaneous())
        storePlace();
    QDialog::hideEvent(event);
}

void TArchivum::refresh() {
    const QString folder = m_session.root().archiveFolder();
    // A folder made after the window first looked (or made anew) is watched from now on.
    if (!m_watcher.directories().contains(folder) && QDir(folder).exists())
        m_watcher.addPath(folder);
    if (!m_loader.isListing())
        m_progressDelay.start();
    m_loader.list(folder, m_session.key());
    updateCount();
}

void TArchivum::showProgress(int done, int total) {
    Folyamat->setMaximum(std::max(total, 1));
    Folyamat->setValue(done);
}

void TArchivum::showRows(const QList<ArchiveRow>& rows) {
    m_progressDelay.stop();
    Folyamat->hide();
    m_failure.clear();
    m_model->setRows(rows);
    selectSomeRowIfNone();
    updateCount();
    updateButtons();
    emit listingShown();
}

void TArchivum::showFailure(const QString& message) {
    m_progressDelay.stop();
    Folyamat->hide();
    m_failure = message;
    m_model->setRows({});
    updateCount();
    updateButtons();
    emit listingShown();
}

void TArchivum::updateCount() {
    updateChildBar();
    if (!m_failure.isEmpty()) {
        Darabszam->setStyleSheet(QStringLiteral("color: #a01010;"));
        Darabszam->setText(m_failure);
        return;
    }
    Darabszam->setStyleSheet(QString());
    const int all = m_model->rowCount();
    if (all == 0 && m_loader.isListing()) {
        Darabszam->setText(QStringLiteral("A vizsgálatok olvasása…"));
        return;
    }
    const int shown = m_sorted->rowCount();
    QString text = shown == all ? QStringLiteral("%1 vizsgálat").arg(all)
                                : QStringLiteral("%1 látható, összesen %2 vizsgálat").arg(shown).arg(all);
    if (const int malformed = m_model->malformedCount())
        text += QStringLiteral(" (%1 hibás fájl)").arg(malformed);
    Darabszam->setText(text);
}

void TArchivum::updateButtons() {
    const bool selected = !selectedPath().isEmpty();
    Megnyitas->setEnabled(selected);
    Jegyzokonyv->setEnabled(selected);
    const qsizetype many = selectedPaths().size();
    Osszehasonlitas->setEnabled(many >= Comparison::kMinimum && many <= Comparison::kMaximum);
}

void TArchivum::selectSomeRowIfNone() {
    if (Tabla->selectionModel()->hasSelection() || m_sorted->rowCount() == 0)
        return;
    Tabla->selectRow(0);
}

void TArchivum::TablaClick(const QModelIndex& index) {
    // A modifier only selects: Ctrl/Shift-clicking rows for the comparison must not filter.
    if (index.column() == ArchiveTableModel::SameChild && QGuiApplication::keyboardModifiers() == Qt::NoModifier)
        showChild(index.data(ArchiveTableModel::ChildKeyRole).toString());
}

void TArchivum::TablaActivated(const QModelIndex& index) {
    // On the count, Enter chooses the child as a click does; a double click there is the click's
    // second half, and must not open whichever row the shorter list moved under the pointer.
    if (index.column() == ArchiveTableModel::SameChild)
        showChild(index.data(ArchiveTableModel::ChildKeyRole).toString());
    else
        MegnyitasClick();
}

void TArchivum::showChild(const QString& childKey) {
    m_sorted->setChild(childKey);
    selectSomeRowIfNone();
    showTopAndSelection();
    updateCount();
    updateButtons();
}

void TArchivum::updateChildBar() {
    const QString& key = m_sorted->child();
    m_childBar->setVisible(!key.isEmpty());
    const QList<ArchiveRow>& rows = m_model->rows();
    const auto row = std::find_if(rows.begin(), rows.end(), [&key](const ArchiveRow& r) { return r.childKey == key; });
    if (key.isEmpty() || row == rows.end())
        return;
    Gyermek->setText(QStringLiteral("Csak %1 (%2) vizsgálatai: %3")
                         .arg(row->personal.name.simplified(), ArchiveTableModel::sexText(row->personal.sex))
                         .arg(m_model->childCount(key)));
}

void TArchivum::KeresesChange(const QString& text) {
    m_sorted->setQuery(text);
    selectSomeRowIfNone();
    showTopAndSelection();
    updateCount();
    updateButtons();
}

void TArchivum::showTopAndSelection() {
    // The view lays its rows out only later than a search or a sort changed them; scrolling
    // before that left the scroll bar at the top and the rows starting further down.
    Tabla->doItemsLayout();
    Tabla->scrollToTop();
    if (Tabla->selectionModel()->hasSelection())
        Tabla->scrollTo(Tabla->selectionModel()->selectedRows().first());
}

void TArchivum::MegnyitasClick() {
    const QString path = selectedPath();
    // Like the open dialog, the window steps aside once the examination is opened; it comes
    // back as it was with Ctrl+R.
    if (!path.isEmpty() && m_commands.openFile(path))
        hide();
}

void TArchivum::JegyzokonyvClick() {
    const QString path = selectedPath();
    if (!path.isEmpty())
        m_commands.showProtocolOf(path);
}

void TArchivum::OsszehasonlitasClick() {
    const QStringList paths = selectedPaths();
    if (paths.size() >= Comparison::kMinimum && paths.size() <= Comparison::kMaximum)
        emit comparisonWanted(paths);
}

void TArchivum::placeWindow() {
    if (!m_placeRead) {
        m_placeRead = true;
        m_storedPlace = ArchiveWindowFile::read(m_session.root());
    }
    // Placed again at every showing: some window managers would centre a dialog anew.
    if (!m_storedPlace)
        return;
    const LayoutFile::Geometry& g = *m_storedPlace;
    resize(g.width, g.height);
    // A place on a screen that is no longer there would hide the window.
    const QRect wanted(g.left, g.top, g.width, g.height);
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(wanted)) {
            move(g.left, g.top);
            break;
        }
    }
}

void TArchivum::storePlace() {
    // The frame's corner and the inner size: moving and resizing to them gives the same window
    // back whatever frame the window manager draws.
    const LayoutFile::Geometry now{x(), y(), height(), width()};
    if (m_storedPlace && *m_storedPlace == now)
        return;
    if (reportFailure(m_platform, [&] { ArchiveWindowFile::write(m_session.root(), now); }))
        m_storedPlace = now;
}
