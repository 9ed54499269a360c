#include "window_printer.h"

#include "notifier.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace coning {
namespace {

const QString documentName = QStringLiteral("Critical Coning Rate Calculation");

std::string printerLabel(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return "the PDF file \"" + printer.outputFileName().toStdString() + "\"";
    return "the printer \"" + printer.printerName().toStdString() + "\"";
}

void offerPrintDialog(const QImage &image, Notifier &notifier, QWidget *dialogParent)
{
    // The dialog keeps a pointer to the printer; the printer goes with the dialog's connection.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer.get(), dialogParent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog,
                     qOverload<QPrinter *>(&QPrintDialog::accepted),
                     dialog,
                     [printer, image, &notifier](QPrinter *) {
                         const PrintOutcome outcome = printImage(*printer, image);
                         if (!outcome.ok)
                             notifier.warn(QStringLiteral("Print"),
                                           QString::fromStdString(outcome.error));
                     });
    static_cast<QDialog *>(dialog)->open();
}

} // namespace

std::unique_ptr<QPrinter> systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

PrintOutcome printImage(QPrinter &printer, const QImage &image)
{
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, "Printing failed: " + printerLabel(printer) + " could not be opened."};
    painter.setRenderHint(QPainter::LosslessImageRendering);

    const QRect page = painter.viewport();
    const QSizeF fitted = QSizeF(image.size()).scaled(page.size(), Qt::KeepAspectRatio);
    const QRectF target(page.left() + (page.width() - fitted.width()) / 2.0,
                        page.top(),
                        fitted.width(),
                        fitted.height());
    painter.drawImage(target, image);

    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return {false, "Printing failed: " + printerLabel(printer) + " did not take the page."};
    return {};
}

PrintOutcome printOnDefaultPrinter(const QImage &image,
                                   const PrinterSource &printers,
                                   Notifier &notifier,
                                   QWidget *dialogParent)
{
    const std::unique_ptr<QPrinter> printer = printers ? printers() : nullptr;
    if (printer)
        return printImage(*printer, image);

    notifier.warn(QStringLiteral("Print"),
                  QStringLiteral("There is no default printer, so the window was not printed.\n"
                                 "Choose a printer in the print dialog that follows, or print "
                                 "to a PDF file."),
                  [image, &notifier, dialogParent] {
                      offerPrintDialog(image, notifier, dialogParent);
                  });
    return {};
}

} // namespace coning
