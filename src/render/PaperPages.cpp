#include "render/PaperPages.h"

#include "base/TextFile.h"
#include "base/UserError.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

void drawFooter(QPainter& p, const QRectF& rect, const QString& footer, int page, int pages) {
    p.save();
    p.setFont(PaperPages::pageFont(7.5));
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawLine(QLineF(rect.topLeft(), rect.topRight()));
    const QString number = QStringLiteral("%1. oldal / %2").arg(page).arg(pages);
    // A long list of names gives way to the page number.
    const QFontMetricsF metrics(p.font(), p.device());
    const double room = rect.width() - metrics.horizontalAdvance(number) - metrics.averageCharWidth() * 4;
    p.drawText(rect, Qt::AlignLeft | Qt::AlignBottom, metrics.elidedText(footer, Qt::ElideRight, room));
    p.drawText(rect, Qt::AlignRight | Qt::AlignBottom, number);
    p.restore();
}

} // namespace

QFont PaperPages::pageFont(double pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(pointSize);
    return font;
}

int PaperPages::paint(QPagedPaintDevice& device, const QString& subject, const QString& html, const QString& footer,
                      const ChartPage& chart) {
    QPainter painter;
    if (!painter.begin(&device))
        throw UserError(subject +
                        QStringLiteral(" lapjai nem készíthetők el: a nyomtató vagy a fájl nem nyitható meg."));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QRectF page(0, 0, device.width(), device.height());
    const double footerHeight = page.height() * 0.035;
    const QRectF body(page.left(), page.top(), page.width(), page.height() - footerHeight);
    const QRectF footerRect(page.left(), body.bottom() + footerHeight * 0.3, page.width(), footerHeight * 0.7);

    QTextDocument doc;
    // Laid out on the device itself, so the point sizes and the paper's resolution agree.
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDefaultFont(pageFont(10));
    doc.setDocumentMargin(0);
    doc.setPageSize(body.size());
    doc.setHtml(html);
    const int contentPages = std::max(1, doc.pageCount());
    const int pages = contentPages + (chart ? 1 : 0);

    for (int i = 0; i < contentPages; ++i) {
        if (i > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -i * body.height());
        doc.drawContents(&painter, QRectF(0, i * body.height(), body.width(), body.height()));
        painter.restore();
        drawFooter(painter, footerRect, footer, i + 1, pages);
    }

    if (!chart) {
        painter.end();
        return pages;
    }
    device.newPage();
    // The chart keeps the proportions it has on screen, at the top of its page.
    chart(painter, QRectF(body.left(), body.top(), body.width(), std::min(body.height(), body.width() * 1.1)));
    drawFooter(painter, footerRect, footer, pages, pages);
    painter.end();
    return pages;
}

QByteArray PaperPages::pdfBytes(const QString& title, const std::function<void(QPagedPaintDevice&)>& paint) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(15, 14, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("gyermek VKT"));
        writer.setTitle(title);
        paint(writer);
    }
    return bytes;
}

void PaperPages::writePdf(const QString& path, const QByteArray& bytes) {
    // An empty document would be a broken file under a good name.
    if (!bytes.startsWith("%PDF"))
        throw UserError::cannotCreate(path);
    TextFile::writeBytes(path, bytes);
}
