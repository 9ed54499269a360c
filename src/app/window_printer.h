#pragma once

#include "report/printed_report.h"

#include <QImage>
#include <QPrinter>

#include <functional>
#include <memory>

class QWidget;

namespace coning {

class Notifier;

// Where the window's image goes: the system's default printer, or nullptr when there is none.
// Tests hand in a printer that writes a PDF file.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

std::unique_ptr<QPrinter> systemDefaultPrinter();

// One page: the image scaled to fit the printable area with its aspect kept, at the top and
// centred across. The image is embedded losslessly (no JPEG), so the report's pixels reach the
// page as they are.
PrintOutcome printImage(QPrinter &printer, const QImage &image);

// Prints the image on the printer the source gives. Without a default printer the user is told
// so and offered the print dialog (which can also print to a PDF file); that dialog prints the
// same image later, so the window may change meanwhile.
PrintOutcome printOnDefaultPrinter(const QImage &image,
                                   const PrinterSource &printers,
                                   Notifier &notifier,
                                   QWidget *dialogParent);

} // namespace coning
