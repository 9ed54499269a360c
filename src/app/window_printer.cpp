#include "window_printer.h"

#include "notifier.h"
#include "paint_layer.h"

#include <QPainter>
#include <QPicture>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

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
// printer would go through an image at the screen's resolution.)
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

// Plays the recording in window pixels onto one layer of `target`.
void playLayer(QPainter &target, const WindowRecording &recording, PaintLayer::Keep keep)
{
    PaintLayer layer(target, recording.size.toSize(), recording.picture->logicalDpiX(), keep);
    QPainter painter(&layer);
    painter.drawPicture(0, 0, *recording.picture);
}

// One page: the recording scaled to fit the printable area with its aspect kept, at the top and
// centred across. The shapes are drawn at the printer's resolution (at most 300 dpi) into one
// opaque image, and the text is laid over them as text.
PrintOutcome printRecording(QPrinter &printer, const WindowRecording &recording)
{
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, "Printing failed: " + printerLabel(printer) + " could not be opened."};
    painter.setRenderHint(QPainter::LosslessImageRendering);

    const QRect page = painter.viewport();
    const QSizeF fitted = recording.size.scaled(QSizeF(page.size()), Qt::KeepAspectRatio);
    const QRectF target(page.left() + (page.width() - fitted.width()) / 2.0,
                        page.top(),
                        fitted.width(),
                        fitted.height());

    constexpr double shapesDpi = 300.0;
    const double rasterScale = std::min(1.0, shapesDpi / printer.resolution());
    QImage shapes((fitted * rasterScale).toSize(), QImage::Format_RGB32);
    shapes.fill(Qt::white);
    {
        QPainter onImage(&shapes);
        onImage.scale(shapes.width() / recording.size.width(),
                      shapes.height() / recording.size.height());
        playLayer(onImage, recording, PaintLayer::Keep::AllButText);
    }
    painter.drawImage(target, shapes);

    painter.translate(target.topLeft());
    painter.scale(target.width() / recording.size.width(),
                  target.height() / recording.size.height());
    playLayer(painter, recording, PaintLayer::Keep::Text);

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
