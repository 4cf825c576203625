#include "gui/paper/TJegyzokonyv.h"

#include "app/ErrorBoundary.h"
#include "app/Platform.h"
#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Widgets.h"
#include "gui/paper/PaperCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The name under which the page finds the profile chart, which it does not link itself.
const QString kChartName = QStringLiteral("gyvkt-profilabra");

// What a browser forgives and the rich-text view does not: colours written without "#" (it
// paints them black, over their headings) and the line ends the page has between its table tags
// (inside the page's PRE it makes each a blank line in a cell). The file stays as it is.
QString readableInTheView(QString page) {
    static const QRegularExpression bareColour(QStringLiteral("(bgcolor\\s*=\\s*\"?)([0-9a-f]{6})\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tableLineEnd(QStringLiteral("\\r?\\n(?=</?(tr|td|th|table)\\b)"),
                                                 QRegularExpression::CaseInsensitiveOption);
    page.replace(bareColour, QStringLiteral("\\1#\\2"));
    page.remove(tableLineEnd);
    return page;
}

} // namespace

TJegyzokonyv::TJegyzokonyv(PaperCommands& paper, Platform& platform, QWidget* parent)
    // A dialog of the main window, like the archive, so that it comes up above the tool windows.
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                          Qt::WindowCloseButtonHint),
      m_paper(paper), m_platform(platform) {
    setObjectName(QStringLiteral("TJegyzokonyv"));
    setWindowTitle(QStringLiteral("Jegyzőkönyv"));
    buildControls();
    resize(920, 700);
}

void TJegyzokonyv::buildControls() {
    Megjegyzes = new QLabel(QStringLiteral("Ezen a gépen nincs böngésző, amely a jegyzőkönyvet megnyitná, ezért a "
                                           "program itt mutatja. Nyomtatni és PDF-be menteni innen is lehet."),
                            this);
    Megjegyzes->setObjectName(QStringLiteral("Megjegyzes"));
    Megjegyzes->setWordWrap(true);

    Lap = new QTextBrowser(this);
    Lap->setObjectName(QStringLiteral("Lap"));
    // The page's links lead to the literature pages, which are for a browser.
    Lap->setOpenLinks(false);
    Lap->setFrameShape(QFrame::StyledPanel);

    auto* fileLabel = new QLabel(QStringLiteral("A fájl:"), this);
    Fajl = new QLineEdit(this);
    Fajl->setObjectName(QStringLiteral("Fajl"));
    Fajl->setReadOnly(true);
    fileLabel->setBuddy(Fajl);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(Fajl, 1);

    Bongeszo = Widgets::makeButton(QStringLiteral("Megnyitás böngészőben"), QStringLiteral("Bongeszo"), this);
    PdfBe = Widgets::makeButton(QStringLiteral("PDF-be…"), QStringLiteral("PdfBe"), this);
    Nyomtatas = Widgets::makeButton(QStringLiteral("Nyomtatás…"), QStringLiteral("Nyomtatas"), this);
    Bezaras = Widgets::makeButton(QStringLiteral("Bezárás"), QStringLiteral("Bezaras"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Bongeszo);
    buttons->addWidget(PdfBe);
    buttons->addWidget(Nyomtatas);
    buttons->addStretch(1);
    buttons->addWidget(Bezaras);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Megjegyzes);
    layout->addWidget(Lap, 1);
    layout->addLayout(fileRow);
    layout->addLayout(buttons);

    connect(Bongeszo, &QPushButton::clicked, this, &TJegyzokonyv::BongeszoClick);
    connect(PdfBe, &QPushButton::clicked, this, &TJegyzokonyv::PdfBeClick);
    connect(Nyomtatas, &QPushButton::clicked, this, &TJegyzokonyv::NyomtatasClick);
    connect(Bezaras, &QPushButton::clicked, this, &QDialog::hide);
}

void TJegyzokonyv::showProtocol(const ProtocolDocument& protocol) {
    m_protocol = protocol;
    const QString& code = protocol.personal.code;
    setWindowTitle(code.isEmpty() ? QStringLiteral("Jegyzőkönyv") : QStringLiteral("Jegyzőkönyv – ") + code);
    Fajl->setText(QDir::toNativeSeparators(protocol.page));
    loadPage();
    show();
    raise();
    activateWindow();
    // The keys scroll the page at once.
    Lap->setFocus();
}

void TJegyzokonyv::loadPage() {
    QString page;
    if (!reportFailure(m_platform, [&] { page = Cp1250::decode(TextFile::readBytes(m_protocol.page)); }))
        page.clear();
    page = readableInTheView(page);
    // The chart stands below the page, scaled to a width that reads without scrolling sideways.
    const QString chart = QStringLiteral("<P><IMG SRC=\"%1\" WIDTH=\"760\"></P>").arg(kChartName);
    const qsizetype end = page.lastIndexOf(QStringLiteral("</BODY>"), -1, Qt::CaseInsensitive);
    if (end < 0)
        page += chart;
    else
        page.insert(end, chart);
    Lap->setSearchPaths({QFileInfo(m_protocol.page).absolutePath()});
    Lap->setHtml(page);
    // Set after the text: a new text drops the resources of the old one.
    Lap->document()->addResource(QTextDocument::ImageResource, QUrl(kChartName), QImage(m_protocol.chart));
}

void TJegyzokonyv::BongeszoClick() {
    const QString page = m_protocol.page;
    m_platform.openDocument(page, [this, page] {
        m_platform.message(QStringLiteral("A jegyzőkönyvet nem lehet böngészőben megnyitni: nincs olyan program, "
                                          "amely megnyitná. A fájl:\n") +
                           QDir::toNativeSeparators(page));
    });
}

void TJegyzokonyv::PdfBeClick() {
    m_paper.savePdf(m_protocol);
}

void TJegyzokonyv::NyomtatasClick() {
    m_paper.print(m_protocol);
}

void TJegyzokonyv::showEvent(QShowEvent* event) {
    // First seen in the middle of the screen; afterwards where the examiner put it.
    if (!m_placed) {
        centreOnScreen(this);
        m_placed = true;
    }
    QDialog::showEvent(event);
}
