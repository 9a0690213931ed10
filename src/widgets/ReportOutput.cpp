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
#include <QProgressDialog>
#include <QToolBar>

namespace ReportOutput {

void preview(QWidget *parent, QPrinter *printer, const ReportLayout &layout)
{
    printer->setPageLayout(layout.pageLayout);
    printer->setDocName(layout.title);
    QPrintPreviewDialog dialog(printer, parent);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&layout](QPrinter *target) { ReportPainter::paint(layout, target); });
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
    printer->setPageLayout(layout.pageLayout);
    printer->setDocName(layout.title);
    const int pages = static_cast<int>(layout.pages.size());
    QProgressDialog progress(QStringLiteral("Printing progress"), QStringLiteral("Cancel"), 0, pages, parent);
    progress.setObjectName(QStringLiteral("PrintingProgress"));
    progress.setWindowTitle(QStringLiteral("Printing progress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    const bool done = ReportPainter::paint(layout, printer, [&progress](int page, int) {
        progress.setValue(page);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    if (!done && !progress.wasCanceled())
        MessageBox::error(parent, QStringLiteral("The report cannot be printed: the printer cannot be used"));
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
