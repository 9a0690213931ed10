#include "ReportOutput.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "ModalRunner.h"

#include "plan/PlanFileError.h"
#include "reports/ReportPainter.h"

#include <QAction>
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QToolBar>

#include <memory>

namespace ReportOutput {

namespace {

// A report is laid out for its own page. It sets that page on the program's
// printer while it prints, and gives the printer back as the person set it up
// (Printer Setup's orientation applies to every later print).
class PrinterKeeper
{
public:
    explicit PrinterKeeper(QPrinter *printer)
        : m_printer(printer), m_layout(printer->pageLayout()), m_docName(printer->docName())
    {
    }
    ~PrinterKeeper()
    {
        m_printer->setPageLayout(m_layout);
        m_printer->setDocName(m_docName);
    }
    PrinterKeeper(const PrinterKeeper &) = delete;
    PrinterKeeper &operator=(const PrinterKeeper &) = delete;

private:
    QPrinter *m_printer;
    QPageLayout m_layout;
    QString m_docName;
};

// Why printing could not start or go on.
QString cannotPrint(const QPrinter *printer)
{
    const bool noPrinter = printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty()
        && QPrinterInfo::availablePrinters().isEmpty();
    if (noPrinter)
        return QStringLiteral("The report cannot be printed: no printer is set up. Choose one in File > Printer "
                              "Setup, or keep the report as a PDF file with Print Preview > Save As PDF.");
    return QStringLiteral("The report cannot be printed: the printer cannot be used");
}

} // namespace

void preview(QWidget *parent, QPrinter *printer, const ReportLayout &layout)
{
    const PrinterKeeper keep(printer);
    printer->setPageLayout(layout.pageLayout);
    printer->setDocName(layout.title);
    QPrintPreviewDialog dialog(printer, parent);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    // Whatever page the preview's printer dialog chose, the report is shown
    // and printed on the page it was laid out for, never cut.
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&layout](QPrinter *target) {
        target->setPageLayout(layout.pageLayout);
        ReportPainter::paint(layout, target);
    });
    for (QAction *action : dialog.findChildren<QAction *>()) {
        const QString text = action->text();
        if (text == QLatin1String("Portrait") || text == QLatin1String("Landscape")
            || text == QLatin1String("Page setup"))
            action->setVisible(false);
    }
    if (QToolBar *bar = dialog.findChild<QToolBar *>()) {
        bar->addSeparator();
        QAction *pdf = bar->addAction(QStringLiteral("Save As PDF"));
        pdf->setObjectName(QStringLiteral("SaveAsPdf"));
        pdf->setToolTip(QStringLiteral("Keep the report as a PDF file"));
        QObject::connect(pdf, &QAction::triggered, &dialog, [&dialog, &layout] { saveAsPdf(&dialog, layout); });
    }
    dialog.resize(900, 700);
    ModalRunner::exec(&dialog);
}

bool print(QWidget *parent, QPrinter *printer, const ReportLayout &layout)
{
    const PrinterKeeper keep(printer);
    printer->setPageLayout(layout.pageLayout);
    printer->setDocName(layout.title);
    const int pages = static_cast<int>(layout.pages.size());
    // The progress window comes once pages are being printed: a printer that
    // cannot start is told in one box, with nothing over it.
    std::unique_ptr<QProgressDialog> progress;
    bool cancelled = false;
    const bool done = ReportPainter::paint(layout, printer, [&](int page, int) {
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Printing progress"), QStringLiteral("Cancel"),
                                                         0, pages, parent);
            progress->setObjectName(QStringLiteral("PrintingProgress"));
            progress->setWindowTitle(QStringLiteral("Printing progress"));
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        progress->setValue(page);
        QCoreApplication::processEvents();
        cancelled = progress->wasCanceled();
        return !cancelled;
    });
    progress.reset();
    if (!done && !cancelled)
        MessageBox::error(parent, cannotPrint(printer));
    return done;
}

bool saveAsPdf(QWidget *parent, const ReportLayout &layout)
{
    FileDialog::Request request;
    request.title = QStringLiteral("Save As PDF");
    request.fileName = layout.title;
    request.defaultSuffix = QStringLiteral("pdf");
    request.filter = QStringLiteral("PDF files (*.pdf)");
    const std::optional<QString> chosen = FileDialog::getSaveFileName(parent, request);
    if (!chosen)
        return false;
    try {
        ReportPainter::writePdf(layout, *chosen);
    } catch (const FileWriteError &e) {
        MessageBox::error(parent, e.message());
        return false;
    }
    return true;
}

} // namespace ReportOutput
