#include "app_fixture.h"

#include "report/correlation_style.h"
#include "report/number_format.h"
#include "report/rate_in_full_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QToolTip>
#include <tuple>

using namespace coning;
using namespace coning::apptest;

namespace {

QColor colourOf(const CorrelationStyle &style)
{
    return QColor(style.colour.red, style.colour.green, style.colour.blue);
}

} // namespace

// A calculation from the window: the report, the bars, the chart, the read-out and failures.
class FormRunTest : public QObject
{
    Q_OBJECT

private slots:
    void sampleWellShowsReportBarsAndChart();
    void pressingTwiceGivesTheSameRates();
    void partialCompletionHidesTheChartUntilTheNextRun();
    void toolTipFollowsThePointerOverTheChart();
    void failingRunShowsItsFailureAndNoStaleResult();
    void failuresAndWarningsAreGroupedByCause();
    void messageBoxLeavesTheFieldsFreeToCorrect();
    void placeBesideKeepsClearOfTheFields_data();
    void placeBesideKeepsClearOfTheFields();
    void longRatesAreShownWholeOrWarnedInFull_data();
    void longRatesAreShownWholeOrWarnedInFull();
};

void FormRunTest::sampleWellShowsReportBarsAndChart()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");

    QVERIFY(f.warnings.empty());
    for (const char *name : {"Picture1", "bar", "Picture2"})
        QVERIFY2(f.control(name)->isVisible(), name);
    QVERIFY(f.form.lastRun().has_value());
    QCOMPARE(f.form.lastRun()->percentPenetration, 30.0);

    const QImage report = f.picture("Picture1")->grab().toImage();
    const QImage bars = f.picture("bar")->grab().toImage();
    const QImage chart = f.picture("Picture2")->grab().toImage();
    for (const CorrelationStyle &style : reportOrder) {
        QVERIFY2(f.form.lastRun()->outcome(style.correlation).shown(), style.label.data());
        QVERIFY2(countPixelsNear(report, colourOf(style)) > 10, style.label.data());
        QVERIFY2(countPixels(bars, colourOf(style)) > 100, style.label.data());
        QVERIFY2(countPixels(chart, colourOf(style)) > 0, style.label.data());
    }

    // The red design-point marker stands at 30 % penetration, from a quarter to three quarters
    // of the chart maximum; series points may cross it.
    double chartMaximum = 0.0;
    for (const auto &series : f.form.lastRun()->sweepRates)
        for (const std::optional<double> &rate : series)
            chartMaximum = std::max(chartMaximum, rate.value_or(0.0));
    PictureBox *picture2 = f.picture("Picture2");
    const QPoint offset = picture2->innerRect().topLeft();
    const int x = int(picture2->toPixels({30, 0}).x()) + offset.x();
    const int from = qCeil(picture2->toPixels({30, 0.75 * chartMaximum}).y()) + offset.y();
    const int to = int(picture2->toPixels({30, 0.25 * chartMaximum}).y()) + offset.y();
    int red = 0;
    for (int y = from; y <= to; ++y)
        red += chart.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
    QVERIFY2(red >= 0.6 * (to - from + 1), qPrintable(QString::number(red)));
}

void FormRunTest::pressingTwiceGivesTheSameRates()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    const RunResult first = *f.form.lastRun();
    f.click("zorv");
    for (Correlation c : callOrder)
        QCOMPARE(f.form.lastRun()->outcome(c).rate, first.outcome(c).rate);
    QCOMPARE(f.form.parameters().penetrationInput, 15.0);
}

void FormRunTest::partialCompletionHidesTheChartUntilTheNextRun()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    QVERIFY(f.control("Picture2")->isVisible());

    QTest::mouseClick(f.control("Option2"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(!f.control("Picture2")->isVisible());
    QTest::mouseClick(f.control("Option1"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(!f.control("Picture2")->isVisible());

    // A partial completion run shows the report but no chart.
    QTest::mouseClick(f.control("Option2"), Qt::LeftButton, {}, QPoint(6, 8));
    f.type("topin", QStringLiteral("5"));
    f.click("zorv");
    QVERIFY(f.control("Picture1")->isVisible());
    QVERIFY(!f.control("Picture2")->isVisible());

    QTest::mouseClick(f.control("Option1"), Qt::LeftButton, {}, QPoint(6, 8));
    f.click("zorv");
    QVERIFY(f.control("Picture2")->isVisible());
}

void FormRunTest::toolTipFollowsThePointerOverTheChart()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    PictureBox *chart = f.picture("Picture2");

    for (const QPointF user : {QPointF(40, 10), QPointF(80, 4)}) {
        const QPoint at = (chart->toPixels(user) + QPointF(chart->innerRect().topLeft())).toPoint();
        QTest::mouseMove(chart, at);
        const QPointF read = chart->toUser(QPointF(at - chart->innerRect().topLeft()));
        const QString expected = QString::fromStdString(formatWhole(read.x()) + ","
                                                        + formatWhole(read.y()));
        QCOMPARE(chart->toolTip(), expected);
        QVERIFY2(chart->toolTip().startsWith(QString::number(user.x()) + QLatin1Char(',')),
                 qPrintable(chart->toolTip()));

        // With a button held (Qt shows no hover tips then) the same text is on screen.
        QTest::mousePress(chart, Qt::LeftButton, {}, at);
        const QPoint global = chart->mapToGlobal(at);
        QMouseEvent drag(QEvent::MouseMove, at, global, Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(chart, &drag);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), expected);
        QTest::mouseRelease(chart, Qt::LeftButton, {}, at);
    }
}

void FormRunTest::failingRunShowsItsFailureAndNoStaleResult()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    QVERIFY(f.warnings.empty());

    f.type("rwin", QString()); // a well radius of 0
    f.click("zorv");
    QCOMPARE(f.warnings.size(), std::size_t(1));
    QVERIFY2(f.warnings[0].text.contains(QLatin1String("Well radius is zero")),
             qPrintable(f.warnings[0].text));
    QVERIFY(f.form.lastRun()->failed());

    // The report says so in black; no rate, bar or chart of the earlier run is left.
    const QImage report = f.picture("Picture1")->image();
    QCOMPARE(countColouredPixels(report), 0);
    QVERIFY(countDarkPixels(report) > 0);
    const QImage bars = f.picture("bar")->image();
    for (const CorrelationStyle &style : reportOrder)
        QCOMPARE(countPixels(bars, colourOf(style)), 0);
    QVERIFY(!f.control("Picture2")->isVisible());
}

void FormRunTest::failuresAndWarningsAreGroupedByCause()
{
    struct Case
    {
        const char *field;
        QString text;
        QString expected; // the warning's messages, one per line
        bool fails;
    };
    const Case cases[] = {
        {"vin",
         QString(),
         "Viscosity is zero: every correlation divides by it; enter the viscosity in cp",
         true},
        {"permin",
         "1e400",
         "Permeability is beyond the double range: every correlation reads it; enter a smaller "
         "value",
         true},
        // A field not read as typed is named with the number read; a hidden one is not read.
        {"permin",
         "100,5",
         "Permeability md.: \"100,5\" was read as 100, which is not all of the text",
         false},
        {"topin", "abc", QString(), false},
        // Implausible inputs are told too; the rates are still shown.
        {"din",
         "80",
         "Penetration thickness (80 ft) is greater than the zone thickness (50 ft)\n"
         "Sobocinski, Meyer-Garder, Chaney-Noble and Schols gave negative rates, which has no "
         "physical meaning: check the inputs",
         false},
    };
    for (const Case &c : cases) {
        FormFixture f;
        f.enterSampleWell();
        f.type(c.field, c.text);
        f.click("zorv");
        QCOMPARE(f.warnings.size(), std::size_t(c.expected.isEmpty() ? 0 : 1));
        if (!c.expected.isEmpty())
            QCOMPARE(f.warnings[0].text, c.expected);
        QCOMPARE(f.form.lastRun()->anyFailure(), c.fails);
    }
}

void FormRunTest::longRatesAreShownWholeOrWarnedInFull_data()
{
    QTest::addColumn<QString>("permeability");
    QTest::addColumn<bool>("whole");
    QTest::newRow("9-digit rates") << QStringLiteral("1E9") << true;
    QTest::newRow("12-digit rates") << QStringLiteral("1E12") << false;
    QTest::newRow("301-digit rates") << QStringLiteral("1E300") << false;
}

void FormRunTest::longRatesAreShownWholeOrWarnedInFull()
{
    QFETCH(QString, permeability);
    QFETCH(bool, whole);
    FormFixture f;
    f.enterSampleWell();
    f.type("permin", permeability);
    f.click("zorv");

    QString shown; // every text item of the report, one after the other
    for (const DrawOp &op : f.picture("Picture1")->drawing())
        shown += op.text + QLatin1Char('|');
    QStringList tooLarge; // each rate whole, on one line with its name and unit
    for (const CorrelationStyle &style : reportOrder) {
        const double rate = f.form.lastRun()->outcome(style.correlation).rate;
        const QString shownRate = QString::fromStdString(formatRate(rate));
        QVERIFY2(shownRate.size() >= (whole ? 11 : 14), qPrintable(shownRate));
        if (whole) {
            QVERIFY2(shown.contains(QLatin1Char('|') + shownRate + QLatin1Char('|')),
                     qPrintable(shown));
        } else {
            QVERIFY2(!shown.contains(shownRate.left(8)), qPrintable(shown)); // not even in part
            tooLarge << QString::fromLatin1(correlationName(style.correlation).data())
                            + QStringLiteral(": the rate, ")
                            + QString::fromStdString(rateInFull(rate))
                            + QStringLiteral(" STB/DAY, is too large for the report to show");
        }
    }
    QCOMPARE(shown.count(QStringLiteral("|too large|")), whole ? 0 : 6);
    QCOMPARE(f.warnings.size(), std::size_t(whole ? 0 : 1));
    if (!whole)
        QCOMPARE(f.warnings[0].text, tooLarge.join(QLatin1Char('\n')));
}

void FormRunTest::messageBoxLeavesTheFieldsFreeToCorrect()
{
    FormFixture f;
    Form1 &form = f.form;
    form.setNotifier(
        std::make_unique<MessageBoxNotifier>(&form, [&form] { return form.fieldsArea(); }));
    // A calculation whose every rate is too large for the report.
    f.enterSampleWell();
    f.field("permin")->setText(QStringLiteral("1E300"));
    form.zorv_Click();
    auto *box = form.findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY2(box->text().startsWith(QStringLiteral("\u2022 Sobocinski: the rate, 2.")),
             qPrintable(box->text()));
    QVERIFY2(box->text().contains(QLatin1String("e+299 STB/DAY, is too large")),
             qPrintable(box->text()));

    // Not modal: the fields can be corrected while the box is open, and it stands clear of them.
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY2(!box->frameGeometry().intersects(form.fieldsArea()),
             qPrintable(QStringLiteral("%1,%2").arg(box->x()).arg(box->y())));
    QVERIFY(box->frameGeometry().bottom() <= box->screen()->availableGeometry().bottom());

    // A run without messages takes the box away: it no longer holds.
    f.field("permin")->setText(QStringLiteral("100"));
    form.zorv_Click();
    QTest::qWait(0);
    QVERIFY(!form.findChild<QMessageBox *>() || !form.findChild<QMessageBox *>()->isVisible());

    // Many long messages: the box shows whole ones, counts the rest, and fits on the screen.
    MessageBoxNotifier notifier(&form, {});
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines.append(QStringLiteral("Cause %1: ").arg(i) + QString(400, QLatin1Char('x')));
    notifier.warn(QStringLiteral("Coning"), lines, {});
    box = form.findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY2(box->text().contains(QLatin1String("... and 38 more messages")),
             qPrintable(box->text()));
    QVERIFY(box->detailedText().contains(lines.last()));
    QVERIFY2(box->sizeHint().height() < box->screen()->availableGeometry().height(),
             qPrintable(QString::number(box->sizeHint().height())));
    box->close();
}

void FormRunTest::placeBesideKeepsClearOfTheFields_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("expected");
    // A window 650 by 450 at (100, 100) whose fields fill its top 250 pixels; a box 300 by 200.
    QTest::newRow("room on the right") << QRect(0, 0, 1280, 1024) << QPoint(758, 100);
    QTest::newRow("room on the left") << QRect(-400, 0, 1150, 1024) << QPoint(-208, 100);
    QTest::newRow("room below only") << QRect(0, 0, 800, 600) << QPoint(100, 400);
    QTest::newRow("least over the fields") << QRect(0, 0, 760, 400) << QPoint(100, 0);
}

void FormRunTest::placeBesideKeepsClearOfTheFields()
{
    QFETCH(QRect, screen);
    QFETCH(QPoint, expected);
    QCOMPARE(placeBeside(QRect(100, 100, 650, 450),
                         QRect(100, 100, 650, 250),
                         QSize(300, 200),
                         screen),
             expected);
}

QTEST_MAIN(FormRunTest)
#include "form_run_test.moc"
