#pragma once

#include "report/printed_report.h"

#include <QPrinter>

#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace coning {

class Notifier;

// Where the window's image goes: the system's default printer, or nullptr when there is none.
// Tests hand in a printer that writes a PDF file.
using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

std::unique_ptr<QPrinter> systemDefaultPrinter();

// One page: the window painted afresh at the printer's resolution, scaled to fit the printable
// area with its aspect kept, at the top and centred across; a `note`, when given, stands above it.
// Its text reaches the page as text. The page shows the window's content only: no text cursor,
// focus or hover frame, and every field from the beginning of its text.
PrintOutcome printWidget(QPrinter &printer, QWidget &window, const std::string &note = {});

// Prints the window, as it is now, on the printer the source gives. Without a default printer the
// user is told so and offered the print dialog (which can also print to a PDF file); that dialog
// prints a recording of the window taken now, as the window may change meanwhile.
PrintOutcome printOnDefaultPrinter(QWidget &window,
                                   const PrinterSource &printers,
                                   Notifier &notifier,
                                   QWidget *dialogParent,
                                   const std::string &note = {});

} // namespace coning
