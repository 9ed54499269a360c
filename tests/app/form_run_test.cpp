#include "app_fixture.h"

#include "app/run_failure_text.h"
#include "report/correlation_style.h"
#include "report/number_format.h"

#include <QRadioButton>

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
    void failedCorrelationsAreNamedInTheWarning();
    void longRatesAreShownWholeOrWarnedInFull_data();
    void longRatesAreShownWholeOrWarnedInFull();
    void failureText_data();
    void failureText();
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

void FormRunTest::failedCorrelationsAreNamedInTheWarning()
{
    FormFixture f;
    f.enterSampleWell();
    f.type("vin", QString()); // a viscosity of 0
    f.click("zorv");
    QCOMPARE(f.warnings.size(), std::size_t(1));
    const QString text = f.warnings[0].text;
    for (Correlation c : callOrder) {
        if (!f.form.lastRun()->outcome(c).failed())
            continue;
        const QString name = QString::fromLatin1(correlationName(c).data(),
                                                 correlationName(c).size());
        QVERIFY2(text.contains(name + QLatin1String(": ")), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("viscosity")), qPrintable(text));
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
    QStringList tooLarge; // name and digits, as the warning gives them with its line breaks out
    for (const CorrelationStyle &style : reportOrder) {
        const QString rate = QString::fromStdString(
            formatRate(f.form.lastRun()->outcome(style.correlation).rate));
        QVERIFY2(rate.size() >= (whole ? 11 : 14), qPrintable(rate));
        if (whole) {
            QVERIFY2(shown.contains(QLatin1Char('|') + rate + QLatin1Char('|')), qPrintable(shown));
        } else {
            QVERIFY2(!shown.contains(rate.left(8)), qPrintable(shown)); // not even in part
            tooLarge << QString::fromLatin1(correlationName(style.correlation).data())
                            + QStringLiteral(": the rate is too large for the report to show; in "
                                             "STB/DAY it is")
                            + rate;
        }
    }
    QCOMPARE(shown.count(QStringLiteral("|too large|")), whole ? 0 : 6);
    QCOMPARE(f.warnings.size(), std::size_t(whole ? 0 : 1));
    for (const QString &line : tooLarge)
        QVERIFY2(QString(f.warnings[0].text).remove(QLatin1Char('\n')).contains(line),
                 qPrintable(f.warnings[0].text));
    // A message box does not break a long number; the warning's lines fit on a screen.
    for (const Warning &warning : f.warnings)
        for (const QString &line : warning.text.split(QLatin1Char('\n')))
            QVERIFY2(line.size() <= 80, qPrintable(line));
}

void FormRunTest::failureText_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing failed") << 0 << QString();
    QTest::newRow("run error") << 1 << "The calculation stopped: Zone thickness is zero";
    QTest::newRow("correlations") << 2
                                  << "Muskat: the viscosity is zero\nSchols: the viscosity is zero";
    QTest::newRow("sweep")
        << 3
        << "Guo-Lee in the penetration sweep: 12 of 91 points failed, the first at 84 %: "
           "square root of a negative number";
}

void FormRunTest::failureText()
{
    QFETCH(int, kind);
    QFETCH(QString, expected);

    RunResult run;
    for (CorrelationOutcome &outcome : run.outcomes)
        outcome = {true, 10.0, {}};
    if (kind == 1)
        run.error = "Zone thickness is zero";
    if (kind == 2) {
        run.outcomes[indexOf(Correlation::Schols)].failure = "the viscosity is zero";
        run.outcomes[indexOf(Correlation::Muskat)].failure = "the viscosity is zero";
    }
    if (kind == 3)
        run.sweepFailures[indexOf(Correlation::GuoLee)] = {12,
                                                           84,
                                                           "square root of a negative number"};
    QCOMPARE(QString::fromStdString(describeRunFailures(run)), expected);
}

QTEST_MAIN(FormRunTest)
#include "form_run_test.moc"
