#include "print/PrintPages.h"

#include "print/PrintFonts.h"
#include "radio/ChannelRecord.h"
#include "radio/SafeFile.h"
#include "radio/LanguageStrings.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <string_view>

namespace tarn::print {

namespace {

QString q(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

}  // namespace

TextWidth deviceTextWidth(QPainter& painter)
{
    QPaintDevice* device = painter.device();
    return [device](PrintFont font, const std::string& text) {
        return QFontMetrics(printFont(font), device).horizontalAdvance(q(text));
    };
}

PrintMetrics measurePrint(QPainter& painter, const PrintContent& content)
{
    QPaintDevice* device = painter.device();
    const QFontMetrics metrics(printFont(PrintFont::Metrics), device);
    const int w21 = metrics.horizontalAdvance(q(content.languageString(ChannelColumnHeaders[ColTxTone])));
    const int w6 = metrics.horizontalAdvance(QStringLiteral("000000"));
    return beginPrinting(w21, w6, metrics.height() + metrics.leading(), device->width(), device->height(),
                         static_cast<int>(content.channels.size()));
}

void drawPage(QPainter& painter, const PrintPage& page)
{
    QPen pen(Qt::black);
    pen.setWidth(std::max(1, painter.device()->logicalDpiX() / 200));
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QTransform plain = painter.transform();
    QTransform scaled = plain;
    scaled.translate(page.scaleX, page.scaleY).scale(page.scale, page.scale).translate(-page.scaleX, -page.scaleY);
    for (std::size_t k = 0; k < page.rects.size(); ++k) {
        const PrintRect& r = page.rects[k];
        painter.setTransform(k < page.scaledRects ? scaled : plain);
        painter.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)));
    }
    painter.setTransform(plain);
    for (const PrintLine& l : page.lines)
        painter.drawLine(l.x1, l.y1, l.x2, l.y2);
    for (std::size_t k = 0; k < page.texts.size(); ++k) {
        const PrintText& t = page.texts[k];
        const QFont font = printFont(t.font);
        const QFontMetrics fm(font, painter.device());
        QTransform transform = k < page.scaledTexts ? scaled : plain;
        if (t.scale != 1.0) {
            const int middle = t.y + fm.height() / 2;
            transform = QTransform().translate(t.x, middle).scale(t.scale, t.scale).translate(-t.x, -middle) * transform;
        }
        painter.setTransform(transform);
        painter.setFont(font);
        const QString text = q(t.text);
        if (t.opaque)
            painter.fillRect(QRect(t.x, t.y, fm.horizontalAdvance(text), fm.height()), Qt::white);
        painter.drawText(t.x, t.y + fm.ascent(), text);
    }
    painter.setTransform(plain);
}

int printConfiguration(QPagedPaintDevice& device, const PrintContent& content, int fromPage, int toPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const PrintMetrics metrics = measurePrint(painter, content);
    const TextWidth width = deviceTextWidth(painter);
    const int first = std::max(1, fromPage);
    const int last = toPage > 0 ? std::min(toPage, metrics.pageCount) : metrics.pageCount;
    for (int page = first; page <= last; ++page) {
        if (page > first)
            device.newPage();
        drawPage(painter, layoutPage(page, metrics, content, width));
    }
    return painter.end() ? metrics.pageCount : 0;
}

QByteArray renderPrintPdf(const PrintContent& content, QPageSize::PageSizeId paper, int* pages)
{
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(paper));
        writer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        writer.setTitle(q(content.languageString(strings::ConfigurationTitle)));
        writer.setCreator(QStringLiteral("Tarn"));
        *pages = printConfiguration(writer, content);
    }
    if (*pages == 0)
        pdf.clear();
    return pdf;
}

int writePrintPdf(const QString& path, const PrintContent& content, QPageSize::PageSizeId paper, QString* error,
                  bool* inPlace)
{
    if (inPlace)
        *inPlace = false;
    // Drawn in full first, so that nothing touches the file before every page is there.
    int pages = 0;
    const QByteArray pdf = renderPrintPdf(content, paper, &pages);
    if (pages == 0) {
        if (error)
            *error = QStringLiteral("the PDF could not be drawn");
        return 0;
    }
    const WriteResult written
        = writeFileSafely(QFile::encodeName(path).toStdString(), std::string_view(pdf.constData(), pdf.size()));
    if (inPlace)
        *inPlace = written.inPlace;
    if (!written.written) {
        if (error)
            *error = QString::fromLocal8Bit(written.reason.c_str());
        return 0;
    }
    return pages;
}

}  // namespace tarn::print
