#pragma once
#include "ReportLayout.h"

#include <QString>
#include <functional>

class QPagedPaintDevice;

// Paints laid-out report pages on a printer, a print preview or a PDF writer.
// The caller gives a printer the layout's page layout before painting; the
// items are placed from the top-left corner of the device's printable area.
namespace ReportPainter {

// Paints every page (newPage() between them) scaled from 1/96 inch to the
// device. `progress(done, count)` is called after each page; returning false
// stops (cancelled). Returns false when cancelled or when the painter cannot
// begin.
bool paint(const ReportLayout &layout, QPagedPaintDevice *device, const std::function<bool(int, int)> &progress = {});

// The layout as the bytes of a PDF document.
QByteArray pdfBytes(const ReportLayout &layout);

// Writes the layout as a PDF file, all or nothing: a failure leaves the
// previous file as it was and throws FileWriteError with the system's reason.
void writePdf(const ReportLayout &layout, const QString &path);

} // namespace ReportPainter
