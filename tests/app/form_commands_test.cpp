#include "app_fixture.h"

#include "report/correlation_style.h"
#include "report/number_format.h"
#include "report/printed_report.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolBar>

using namespace coning;
using namespace coning::apptest;

namespace {

PrinterSource pdfPrinter(const QString &path)
{
    return [path] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return printer;
    };
}

void chooseFromMenuBar(const FormFixture &f, const char *item)
{
    QMenuBar *menu = f.form.menuBar();
    auto *action = menu->findChild<QAction *>(QString::fromLatin1(item));
    QVERIFY(action);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

void pressToolbarButton(const FormFixture &f, const char *key)
{
    auto *toolbar = f.control<QToolBar>("Toolbar1");
    for (QAction *button : toolbar->actions()) {
        if (button->data().toString() == QLatin1String(key))
            QTest::mouseClick(toolbar->widgetForAction(button), Qt::LeftButton);
    }
}

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// The page's text as a reader of the PDF gets it.
QString pageText(const QString &pdf)
{
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
}

// The printed window: the page rendered, cut to the window's cyan-edged area and brought to the
// client area's size, so that controls can be found at their places.
QImage printedWindow(const QString &pdf, QSize client)
{
    const QString prefix = pdf + QStringLiteral(".page");
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"),
         QStringLiteral("150"),
         QStringLiteral("-png"),
         QStringLiteral("-singlefile"),
         pdf,
         prefix});
    const QImage page = QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
    QRect printed;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixelColor(x, y) != QColor(255, 255, 255))
                printed |= QRect(x, y, 1, 1);
    if (printed.isEmpty())
        return {};
    return page.copy(printed).scaled(client, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage region(const QImage &page, const FormFixture &f, const char *control)
{
    return page.copy(f.control(control)->geometry());
}

} // namespace

// The print and exit commands from the menu and the toolbar, and the empty version item.
class FormCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printedPageHoldsTheWindowWithTheReportInBlack();
    void toolbarPrintGivesTheSamePageAsTheMenu();
    void printFailureIsToldAndTheScreenRestored();
    void printAsksWhenTheInputsChangedSinceTheRun();
    void pageShowsNoCaretFocusHoverOrScrolledTitle();
    void longTitleEndsInAnEllipsisOnThePage();
    void withoutDefaultPrinterThePrintDialogIsOffered();
    void exitClosesTheWindow_data();
    void exitClosesTheWindow();
    void versionItemChangesNothing();

private:
    QTemporaryDir m_dir;
};

void FormCommandsTest::initTestCase()
{
    for (const char *tool : {"pdftotext", "pdftoppm"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("poppler-utils are needed to read the printed page");
    QVERIFY(m_dir.isValid());
}

void FormCommandsTest::printedPageHoldsTheWindowWithTheReportInBlack()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    const QString pdf = m_dir.filePath(QStringLiteral("menu.pdf"));
    f.form.setPrinterSource(pdfPrinter(pdf));
    chooseFromMenuBar(f, "a1");
    QVERIFY(f.warnings.empty());

    // Text reaches the page as text: the report as the window shows it, and the typed values.
    // (A PDF reader gives runs of blanks as one.)
    const QString text = pageText(pdf).simplified();
    QStringList expected{QStringLiteral("CRITICAL CONING RATES"), QStringLiteral("STB/DAY")};
    for (const CorrelationStyle &style : reportOrder) {
        expected << QString::fromLatin1(style.label.data(), style.label.size()).simplified();
        expected << QString::fromStdString(
            formatRate(f.form.lastRun()->outcome(style.correlation).rate));
    }
    for (const char *typed : {"0.3", "1000", "1.2", "15", "50"})
        expected << QString::fromLatin1(typed);
    for (const QString &item : expected)
        QVERIFY2(text.contains(item), qPrintable(item + QStringLiteral(" in:\n") + text));

    const QImage page = printedWindow(pdf, f.form.clientArea()->size());
    QVERIFY2(!page.isNull(), "the window on the page");
    QCOMPARE(page.pixelColor(640, 200), QColor(128, 255, 255));
    const QImage report = region(page, f, "Picture1");
    QCOMPARE(countColouredPixels(report), 0);
    QVERIFY(countDarkPixels(report) > 50);
    const QImage bars = region(page, f, "bar");
    for (const CorrelationStyle &style : reportOrder) {
        const QColor colour(style.colour.red, style.colour.green, style.colour.blue);
        QVERIFY2(countPixelsNear(bars, colour, 8) > 100, style.label.data());
    }
    QVERIFY(countPixelsNear(region(page, f, "Picture2"), QColor(255, 0, 0), 8) > 20);

    // The screen shows the coloured report again.
    QVERIFY(countPixelsNear(f.picture("Picture1")->image(), QColor(0, 0, 255)) > 0);
    QVERIFY(!f.picture("Picture1")->hasPicture());
}

void FormCommandsTest::toolbarPrintGivesTheSamePageAsTheMenu()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    const QString viaMenu = m_dir.filePath(QStringLiteral("same-menu.pdf"));
    const QString viaToolbar = m_dir.filePath(QStringLiteral("same-toolbar.pdf"));
    f.form.setPrinterSource(pdfPrinter(viaMenu));
    chooseFromMenuBar(f, "a1");
    f.form.setPrinterSource(pdfPrinter(viaToolbar));
    pressToolbarButton(f, "Print");

    const QSize client = f.form.clientArea()->size();
    const QImage first = printedWindow(viaMenu, client);
    QVERIFY(!first.isNull());
    QCOMPARE(printedWindow(viaToolbar, client), first);
    QCOMPARE(pageText(viaToolbar), pageText(viaMenu));
}

void FormCommandsTest::printFailureIsToldAndTheScreenRestored()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    f.form.setPrinterSource(pdfPrinter(m_dir.filePath(QStringLiteral("missing/dir/page.pdf"))));
    chooseFromMenuBar(f, "a1");

    QCOMPARE(f.warnings.size(), std::size_t(1));
    QVERIFY2(f.warnings[0].text.startsWith(QLatin1String("Printing failed")),
             qPrintable(f.warnings[0].text));
    QVERIFY(countPixels(f.picture("Picture1")->image(), QColor(0, 0, 255)) > 0);
    QVERIFY(f.form.isVisible());
}

void FormCommandsTest::printAsksWhenTheInputsChangedSinceTheRun()
{
    const QString printAnyway = QStringLiteral("Print Anyway");
    const QString note = QString::fromLatin1(staleResultsNote.data(), staleResultsNote.size());
    FormFixture f;
    int pages = 0;
    QString pdf;
    // Prints with the given answer; returns whether a page came out.
    const auto print = [&](const QString &answer) {
        pdf = m_dir.filePath(QStringLiteral("asked-%1.pdf").arg(++pages));
        f.form.setPrinterSource(pdfPrinter(pdf));
        f.answer = answer;
        pressToolbarButton(f, "Print");
        return QFile::exists(pdf);
    };
    const auto step = [&](const char *what, bool asked, const QString &answer, bool printed) {
        const std::size_t before = f.questions.size();
        QVERIFY2(print(answer) == printed, what);
        QVERIFY2(f.questions.size() - before == (asked ? 1u : 0u), what);
        // Only a page of results that no longer match the fields says so.
        if (printed)
            QVERIFY2(pageText(pdf).simplified().contains(note) == (answer == printAnyway && asked),
                     what);
    };

    f.enterSampleWell();
    step("before any run", false, QString(), true);
    f.click("zorv");
    step("nothing changed", false, QString(), true);
    f.type("vin", QStringLiteral("2"));
    step("edited, cancelled", true, QString(), false);
    QCOMPARE(f.field("vin")->text(), QStringLiteral("2"));
    step("edited, printed anyway", true, printAnyway, true);
    f.type("vin", QStringLiteral("1"));
    step("edited back", false, QString(), true);
    QTest::mouseClick(f.control("Option2"), Qt::LeftButton, {}, QPoint(6, 8));
    step("another choice", true, QString(), false);
    f.click("zorv");
    step("run again", false, QString(), true);
    QCOMPARE(f.questions.front().title, QStringLiteral("Print"));

    // "Calculate and Print" prints the results of the fields as they are now.
    f.type("vin", QStringLiteral("2"));
    const double before = f.form.lastRun()->outcome(Correlation::Sobocinski).rate;
    step("edited, calculated and printed", true, QStringLiteral("Calculate and Print"), true);
    const double after = f.form.lastRun()->outcome(Correlation::Sobocinski).rate;
    QVERIFY(after != before);
    QVERIFY(pageText(pdf).contains(QString::fromStdString(formatRate(after))));
    step("and nothing changed since", false, QString(), true);
    QVERIFY(f.warnings.empty());
}

void FormCommandsTest::pageShowsNoCaretFocusHoverOrScrolledTitle()
{
    // Printed with the keyboard in a field just edited, the pointer over another and a long title
    // scrolled to its end, the page is the page of a window left alone.
    FormFixture f;
    f.enterSampleWell();
    const QString title = QString(12, QLatin1Char('W')) + QString(150, QLatin1Char('.'));
    f.type("Text1", title);
    f.field("Text1")->end(false);
    f.click("zorv");
    f.type("vin", QStringLiteral("1")); // as it was: no question
    QTest::mouseMove(f.field("rhoin"));
    QLineEdit *vin = f.field("vin");
    QApplication::setActiveWindow(&f.form);
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    vin->setFocus();
    QCOMPARE(QApplication::focusWidget(), vin);
    vin->setSelection(1, -1);
    const QString edited = m_dir.filePath(QStringLiteral("edited.pdf"));
    f.form.setPrinterSource(pdfPrinter(edited));
    pressToolbarButton(f, "Print");
    QVERIFY(f.questions.empty());
    // The screen is as it was: keyboard, selection and title untouched.
    QCOMPARE(QApplication::focusWidget(), vin);
    QCOMPARE(vin->selectedText(), QStringLiteral("1"));
    QCOMPARE(vin->cursorPosition(), 0);
    QCOMPARE(f.field("Text1")->cursorPosition(), title.size());

    QApplication::focusWidget()->clearFocus();
    QTest::mouseMove(f.form.clientArea(), QPoint(640, 200));
    f.field("Text1")->setCursorPosition(0);
    const QString alone = m_dir.filePath(QStringLiteral("alone.pdf"));
    f.form.setPrinterSource(pdfPrinter(alone));
    pressToolbarButton(f, "Print");

    const QSize client = f.form.clientArea()->size();
    const QImage page = printedWindow(edited, client);
    QVERIFY(!page.isNull());
    QVERIFY(page == printedWindow(alone, client));
    // The title from its beginning: the W's, not the dots of its end.
    QVERIFY(countDarkPixels(region(page, f, "Text1")) > 10);
    QVERIFY(pageText(alone).contains(QString(12, QLatin1Char('W'))));
}

void FormCommandsTest::longTitleEndsInAnEllipsisOnThePage()
{
    FormFixture f;
    const QString title = QStringLiteral("Well A-17, north flank: coning study after the pressure "
                                         "survey of March, case B with the revised viscosity");
    f.type("Text1", title);
    const QString pdf = m_dir.filePath(QStringLiteral("title.pdf"));
    f.form.setPrinterSource(pdfPrinter(pdf));
    chooseFromMenuBar(f, "a1");
    // What the page shows is what its text says: the start of the title and a sign that more
    // follows, not the whole title cut at the field's edge.
    const QString text = pageText(pdf).simplified();
    QVERIFY2(text.contains(QStringLiteral("Well A-17, north flank")), qPrintable(text));
    QVERIFY2(text.contains(QChar(0x2026)), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral("revised viscosity")), qPrintable(text));
    QCOMPARE(f.field("Text1")->text(), title);
}

void FormCommandsTest::withoutDefaultPrinterThePrintDialogIsOffered()
{
    FormFixture f;
    f.form.setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
    chooseFromMenuBar(f, "a1"); // before any run: the report shows its labels only

    QCOMPARE(f.warnings.size(), std::size_t(1));
    QVERIFY2(f.warnings[0].text.contains(QLatin1String("no default printer")),
             qPrintable(f.warnings[0].text));
    QPrintDialog *dialog = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<QPrintDialog *>(window); candidate && window->isVisible())
            dialog = candidate;
    }
    QVERIFY(dialog);
    dialog->reject();
    QVERIFY(f.form.isVisible());
}

void FormCommandsTest::exitClosesTheWindow_data()
{
    QTest::addColumn<bool>("fromToolbar");
    QTest::newRow("menu E&xit") << false;
    QTest::newRow("toolbar Exit") << true;
}

void FormCommandsTest::exitClosesTheWindow()
{
    QFETCH(bool, fromToolbar);
    FormFixture f;
    if (fromToolbar)
        pressToolbarButton(f, "Exit");
    else
        chooseFromMenuBar(f, "a2");
    QVERIFY(!f.form.isVisible());
    QVERIFY(f.warnings.empty());
}

void FormCommandsTest::versionItemChangesNothing()
{
    FormFixture f;
    f.enterSampleWell();
    const auto state = [&f] {
        QStringList shown;
        for (QWidget *w : f.form.clientArea()->findChildren<QWidget *>())
            if (w->isVisible())
                shown << w->objectName();
        return shown;
    };
    const QStringList before = state();
    f.form.findChild<QAction *>(QStringLiteral("a4"))->trigger();
    QCOMPARE(state(), before);
    QVERIFY(!f.form.lastRun());
    QVERIFY(f.warnings.empty());
    QVERIFY(f.form.isVisible());
}

QTEST_MAIN(FormCommandsTest)
#include "form_commands_test.moc"
