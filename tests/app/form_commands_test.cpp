#include "app_fixture.h"

#include "report/correlation_style.h"

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

// The one image on the PDF's page, as the printer received it; fails when it is JPEG-coded.
QImage pageImage(const QString &pdf)
{
    QProcess list;
    list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!list.waitForFinished() || list.exitCode() != 0)
        return {};
    const QStringList rows = QString::fromLatin1(list.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .mid(2); // two heading lines
    if (rows.size() != 1 || rows[0].contains(QLatin1String("jpeg")))
        return {};
    const QString prefix = pdf + QStringLiteral(".image");
    QProcess extract;
    extract.start(QStringLiteral("pdfimages"), {QStringLiteral("-png"), pdf, prefix});
    if (!extract.waitForFinished() || extract.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral("-000.png"));
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
    void withoutDefaultPrinterThePrintDialogIsOffered();
    void exitClosesTheWindow_data();
    void exitClosesTheWindow();
    void versionItemChangesNothing();

private:
    QTemporaryDir m_dir;
};

void FormCommandsTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdfimages")).isEmpty())
        QSKIP("pdfimages (poppler-utils) is needed to read the printed page");
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

    const QImage page = pageImage(pdf);
    QVERIFY2(!page.isNull(), "one losslessly coded image on the page");
    QCOMPARE(page.size(), f.form.clientArea()->size());
    QCOMPARE(page.pixelColor(640, 200), QColor(128, 255, 255));

    const QImage report = region(page, f, "Picture1");
    QCOMPARE(countColouredPixels(report), 0);
    QVERIFY(countDarkPixels(report) > 50);
    const QImage bars = region(page, f, "bar");
    for (const CorrelationStyle &style : reportOrder) {
        const QColor colour(style.colour.red, style.colour.green, style.colour.blue);
        QVERIFY2(countPixels(bars, colour) > 100, style.label.data());
    }
    QVERIFY(countPixels(region(page, f, "Picture2"), QColor(255, 0, 0)) > 20);

    // The screen shows the coloured report again.
    QVERIFY(countPixels(f.picture("Picture1")->image(), QColor(0, 0, 255)) > 0);
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

    const QImage first = pageImage(viaMenu);
    QVERIFY(!first.isNull());
    QCOMPARE(pageImage(viaToolbar), first);
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
    FormFixture f;
    int pages = 0;
    // Prints with the given answer; returns whether a page came out.
    const auto print = [&](bool confirm) {
        const QString pdf = m_dir.filePath(QStringLiteral("asked-%1.pdf").arg(++pages));
        f.form.setPrinterSource(pdfPrinter(pdf));
        f.confirm = confirm;
        chooseFromMenuBar(f, "a1");
        return QFile::exists(pdf);
    };
    const auto step = [&](const char *what, bool asked, bool confirm, bool printed) {
        const std::size_t before = f.questions.size();
        QVERIFY2(print(confirm) == printed, what);
        QVERIFY2(f.questions.size() - before == (asked ? 1u : 0u), what);
    };

    f.enterSampleWell();
    step("before any run", false, false, true);
    f.click("zorv");
    step("nothing changed", false, false, true);
    f.type("vin", QStringLiteral("2"));
    step("edited, cancelled", true, false, false);
    QCOMPARE(f.field("vin")->text(), QStringLiteral("2"));
    step("edited, printed anyway", true, true, true);
    f.type("vin", QStringLiteral("1"));
    step("edited back", false, false, true);
    QTest::mouseClick(f.control("Option2"), Qt::LeftButton, {}, QPoint(6, 8));
    step("another choice", true, false, false);
    f.click("zorv");
    step("run again", false, false, true);
    QCOMPARE(f.questions.front().title, QStringLiteral("Print"));
    QVERIFY(f.warnings.empty());
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
