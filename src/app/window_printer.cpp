#include "window_printer.h"

#include "notifier.h"
#include "paint_layer.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <vector>

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

// While it lives, the window shows its content only, as a page should: no control has the
// keyboard focus (so there is no text cursor or focus frame), none is hovered, and every line
// edit shows its text from the beginning. All of it is put back afterwards.
class ContentOnly
{
public:
    explicit ContentOnly(QWidget &window)
    {
        QWidget *focus = QApplication::focusWidget();
        if (focus && window.isAncestorOf(focus))
            m_focus = focus;
        for (QLineEdit *edit : window.findChildren<QLineEdit *>())
            m_edits.push_back(
                {edit, edit->cursorPosition(), edit->selectionStart(), edit->selectionLength()});
        for (QWidget *widget : window.findChildren<QWidget *>()) {
            if (widget->testAttribute(Qt::WA_UnderMouse)) {
                m_hovered.push_back(widget);
                widget->setAttribute(Qt::WA_UnderMouse, false);
            }
        }
        if (m_focus)
            m_focus->clearFocus();
        for (const Edit &edit : m_edits)
            edit.edit->setCursorPosition(0); // scrolls a long text back to its beginning
    }

    ~ContentOnly()
    {
        for (const QPointer<QWidget> &widget : m_hovered) {
            if (widget)
                widget->setAttribute(Qt::WA_UnderMouse, true);
        }
        if (m_focus)
            m_focus->setFocus(Qt::OtherFocusReason);
        for (const Edit &edit : m_edits) {
            if (!edit.edit)
                continue;
            if (edit.selectionLength <= 0)
                edit.edit->setCursorPosition(edit.cursor);
            else if (edit.cursor == edit.selectionStart) // selected from right to left
                edit.edit->setSelection(edit.selectionStart + edit.selectionLength,
                                        -edit.selectionLength);
            else
                edit.edit->setSelection(edit.selectionStart, edit.selectionLength);
        }
    }

    ContentOnly(const ContentOnly &) = delete;
    ContentOnly &operator=(const ContentOnly &) = delete;

private:
    struct Edit
    {
        QPointer<QLineEdit> edit;
        int cursor;
        int selectionStart;
        int selectionLength;
    };
    QPointer<QWidget> m_focus;
    std::vector<Edit> m_edits;
    std::vector<QPointer<QWidget>> m_hovered;
};

// A line edit as the page shows it, when its text is wider than the edit: the text smaller, down
// to a size still legible on paper, and if it still does not fit, cut at a word or character and
// ended with an ellipsis. The page then says what it shows; the edit itself is left alone.
class PrintedLineEdit : public QLineEdit
{
public:
    static constexpr int smallestPixels = 7;

    explicit PrintedLineEdit(const QLineEdit &edit)
    {
        setAttribute(Qt::WA_DontShowOnScreen);
        setFrame(edit.hasFrame());
        setPalette(edit.palette());
        setAlignment(edit.alignment());
        setTextMargins(edit.textMargins());
        setFixedSize(edit.size());
        setFont(edit.font());
        fitText(edit.text());
    }

    // Whether the text is wider than the edit shows at its own font.
    static bool overflows(const QLineEdit &edit)
    {
        const PrintedLineEdit probe(edit.font(), edit);
        return probe.textWidth(edit.text(), edit.font()) > probe.textArea();
    }

private:
    PrintedLineEdit(const QFont &font, const QLineEdit &edit)
    {
        setFrame(edit.hasFrame());
        setTextMargins(edit.textMargins());
        setFixedSize(edit.size());
        setFont(font);
    }

    // The width the edit shows text in: its contents, less the margins the line edit keeps.
    int textArea() const
    {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        constexpr int editMargins = 2 * 2 + 2; // the edit's own margin each side, and a pixel each
        return contents.width() - textMargins().left() - textMargins().right() - editMargins;
    }

    static int textWidth(const QString &text, const QFont &font)
    {
        return QFontMetrics(font).horizontalAdvance(text);
    }

    void fitText(const QString &text)
    {
        QFont small = font();
        int pixels = small.pixelSize() > 0 ? small.pixelSize() : QFontInfo(small).pixelSize();
        while (textWidth(text, small) > textArea() && pixels > smallestPixels) {
            small.setPixelSize(--pixels);
        }
        setFont(small);
        setText(QFontMetrics(small).elidedText(text, Qt::ElideRight, textArea()));
        setCursorPosition(0);
    }
};

WindowRecording windowRecording(QWidget &window)
{
    const ContentOnly contentOnly(window);
    // Edits whose text runs past their edge are painted apart, their text fitted to the page.
    std::vector<QLineEdit *> overflowing;
    QRegion rest(window.rect());
    for (QLineEdit *edit : window.findChildren<QLineEdit *>()) {
        if (edit->isVisibleTo(&window) && PrintedLineEdit::overflows(*edit)) {
            overflowing.push_back(edit);
            rest -= QRect(edit->mapTo(&window, QPoint(0, 0)), edit->size());
        }
    }
    auto picture = std::make_shared<QPicture>();
    QPainter painter(picture.get());
    window.render(&painter, QPoint(), rest, QWidget::DrawWindowBackground | QWidget::DrawChildren);
    for (QLineEdit *edit : overflowing) {
        PrintedLineEdit printed(*edit);
        printed.render(&painter, edit->mapTo(&window, QPoint(0, 0)), QRegion(),
                       QWidget::DrawWindowBackground);
    }
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
PrintOutcome printRecording(QPrinter &printer,
                            const WindowRecording &recording,
                            const std::string &note)
{
    printer.setDocName(documentName);
    QPainter painter;
    if (!painter.begin(&printer))
        return {false, "Printing failed: " + printerLabel(printer) + " could not be opened."};
    painter.setRenderHint(QPainter::LosslessImageRendering);

    QRect page = painter.viewport();
    if (!note.empty()) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(10);
        painter.setFont(font);
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
        const QString text = QString::fromStdString(note);
        const QRect used = painter.boundingRect(page, flags, text);
        painter.drawText(page, flags, text);
        page.setTop(used.bottom() + 1 + painter.fontMetrics().height());
    }
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

void offerPrintDialog(const WindowRecording &recording,
                      const std::string &note,
                      Notifier &notifier,
                      QWidget *dialogParent)
{
    // The dialog keeps a pointer to the printer; the printer goes with the dialog's connection.
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    auto *dialog = new QPrintDialog(printer.get(), dialogParent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog,
                     qOverload<QPrinter *>(&QPrintDialog::accepted),
                     dialog,
                     [printer, recording, note, &notifier](QPrinter *) {
                         const PrintOutcome outcome = printRecording(*printer, recording, note);
                         if (!outcome.ok)
                             notifier.warn(QStringLiteral("Print"),
                                           {QString::fromStdString(outcome.error)});
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

PrintOutcome printWidget(QPrinter &printer, QWidget &window, const std::string &note)
{
    return printRecording(printer, windowRecording(window), note);
}

PrintOutcome printOnDefaultPrinter(QWidget &window,
                                   const PrinterSource &printers,
                                   Notifier &notifier,
                                   QWidget *dialogParent,
                                   const std::string &note)
{
    const std::unique_ptr<QPrinter> printer = printers ? printers() : nullptr;
    if (printer)
        return printWidget(*printer, window, note);

    notifier.warn(QStringLiteral("Print"),
                  {QStringLiteral("There is no default printer, so the window was not printed. "
                                  "Choose a printer in the print dialog that follows, or print "
                                  "to a PDF file.")},
                  [recording = windowRecording(window), note, &notifier, dialogParent] {
                      offerPrintDialog(recording, note, notifier, dialogParent);
                  });
    return {};
}

} // namespace coning
