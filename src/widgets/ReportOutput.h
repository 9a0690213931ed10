#pragma once
#include "reports/ReportLayout.h"

class QPrinter;
class QWidget;

// A laid-out report on its way to paper or a file: the print preview, printing
// with a progress window, and a PDF copy for people without a printer. The
// printer is the program's one printer, chosen in Printer Setup.
namespace ReportOutput {

// "Print Preview": zoom, page navigation, page set-up and print, and "Save As
// PDF". Returns when the preview is closed.
void preview(QWidget *parent, QPrinter *printer, const ReportLayout &layout);

// Prints every page on `printer`, showing "Printing progress" with a
// "Cancel" button. False when cancelled or when the printer cannot be used
// (after saying why).
bool print(QWidget *parent, QPrinter *printer, const ReportLayout &layout);

// Asks where to keep the report as a PDF file and writes it. False when the
// user cancels or the file cannot be written (after saying why, with the
// system's reason).
bool saveAsPdf(QWidget *parent, const ReportLayout &layout);

} // namespace ReportOutput
