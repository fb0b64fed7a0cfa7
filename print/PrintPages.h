// Draws the printout on any paged device (printer, print preview, PDF file): measures the
// page once per job, then lays out and draws each page of the range.
#pragma once

#include "print/PrintLayout.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace tarn::print {

// The print state for this device, measured with the printout's fonts; the channel pages
// hold the content's rows.
PrintMetrics measurePrint(QPainter& painter, const PrintContent& content);
TextWidth deviceTextWidth(QPainter& painter);
void drawPage(QPainter& painter, const PrintPage& page);

// Pages `fromPage` to `toPage` (1-based; 0 for the first or the last page). Returns the
// job's page count, or 0 when nothing could be drawn on the device.
int printConfiguration(QPagedPaintDevice& device, const PrintContent& content, int fromPage = 0,
                        int toPage = 0);

// The whole printout as a PDF document with 10 mm margins, made in memory; `pages` gets the
// page count (0 when nothing could be drawn, and then the document is empty).
QByteArray renderPrintPdf(const PrintContent& content, QPageSize::PageSizeId paper, int* pages);

// The whole printout as a PDF file, written through the safe writer: on any failure the file
// that was there stays byte for byte. Returns the page count, or 0 with the reason. `inPlace`
// is set when the folder took no new file and the file was overwritten where it is.
int writePrintPdf(const QString& path, const PrintContent& content, QPageSize::PageSizeId paper,
                  QString* error, bool* inPlace = nullptr);

}  // namespace tarn::print
