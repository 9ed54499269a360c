#include "window_printer.h"

#include "notifier.h"

#include <QPainter>
#include <QPicture>
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

// The window's painting, kept to be printed: its text stays text and its drawing lines and
// boxes, so the page is drawn at the printer's resolution. (Rendering the window straight onto a
// printer would go through a screen-resolution image.)
struct WindowRecording
{
    std::shared_ptr<QPicture> picture;
    QSizeF size;
};

WindowRecording windowRecording(QWidget &window)
{
    auto picture = std::make_shared<QPicture>();
    QPainter painter(picture.get());
    window.render(&painter,
                  QPoint(),
                  QRegion(),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    return {std::move(picture), QSizeF(window.size())};
}

// One page: the recording scaled to fit the printable area with its aspect kept, at the top and
// centred across.
PrintOutcome printRecording(QPrinter &printer, const WindowRecording &recording)
{
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, "Printing failed: " + printerLabel(printer) + " could not be opened."};

    // Playing the recording already scales it from the screen's resolution to the printer's.
    const QSizeF played(recording.size.width() * printer.logicalDpiX()
                            / recording.picture->logicalDpiX(),
                        recording.size.height() * printer.logicalDpiY()
                            / recording.picture->logicalDpiY());
    const QRect page = painter.viewport();
    const QSizeF fitted = played.scaled(QSizeF(page.size()), Qt::KeepAspectRatio);
    painter.translate(page.left() + (page.width() - fitted.width()) / 2.0, page.top());
    painter.scale(fitted.width() / played.width(), fitted.height() / played.height());
    painter.drawPicture(0, 0, *recording.picture);

    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return {false, "Printing failed: " + printerLabel(printer) + " did not take the page."};
    return {};
}

void offerPrintDialog(const WindowRecording &recording, Notifier &notifier, QWidget *dialogParent)
{
    // The dialog keeps a pointer to the printer; the printer goes with the dialog's connection.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer.get(), dialogParent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog,
                     qOverload<QPrinter *>(&QPrintDialog::accepted),
                     dialog,
                     [printer, recording, &notifier](QPrinter *) {
                         const PrintOutcome outcome = printRecording(*printer, recording);
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

PrintOutcome printWidget(QPrinter &printer, QWidget &window)
{
    return printRecording(printer, windowRecording(window));
}

PrintOutcome printOnDefaultPrinter(QWidget &window,
                                   const PrinterSource &printers,
                                   Notifier &notifier,
                                   QWidget *dialogParent)
{
    const std::unique_ptr<QPrinter> printer = printers ? printers() : nullptr;
    if (printer)
        return printWidget(*printer, window);

    notifier.warn(QStringLiteral("Print"),
                  QStringLiteral("There is no default printer, so the window was not printed.\n"
                                 "Choose a printer in the print dialog that follows, or print "
                                 "to a PDF file."),
                  [recording = windowRecording(window), &notifier, dialogParent] {
                      offerPrintDialog(recording, notifier, dialogParent);
                  });
    return {};
}

} // namespace coning
