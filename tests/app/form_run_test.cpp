#include "app_fixture.h"

#include "report/correlation_style.h"
#include "report/number_format.h"

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
    void longAccountsKeepTheBoxShorterThanTheScreen();
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
    const std::tuple<const char *, QString, QString> cases[] = {
        {"vin",
         QString(),
         "Viscosity is zero: every correlation divides by it; enter the viscosity in cp"},
        {"permin",
         "1e400",
         "Permeability is beyond the double range: every correlation reads it; enter a smaller "
         "value"},
        // Implausible inputs are told too; the rates are still shown.
        {"din",
         "80",
         "Penetration thickness (80 ft) is greater than the zone thickness (50 ft)\n"
         "Sobocinski, Meyer-Garder, Chaney-Noble and Schols gave negative rates, which has no "
         "physical meaning: check the inputs"},
    };
    for (const auto &[field, text, expected] : cases) {
        FormFixture f;
        f.enterSampleWell();
        f.type(field, text);
        f.click("zorv");
        QCOMPARE(f.warnings.size(), std::size_t(1));
        QCOMPARE(f.warnings[0].text, expected);
        QCOMPARE(f.form.lastRun()->anyFailure(), std::string_view(field) != "din");
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

void FormRunTest::longAccountsKeepTheBoxShorterThanTheScreen()
{
    QStringList lines;
    for (int i = 1; i <= 40; ++i)
        lines.append(QStringLiteral("Cause %1: ").arg(i) + QString(400, QLatin1Char('x')));
    const QString account = lines.join(QLatin1Char('\n'));
    QCOMPARE(boxText(QStringLiteral("one\ntwo")).text, QStringLiteral("one\ntwo"));
    QVERIFY(boxText(QStringLiteral("one\ntwo")).details.isEmpty());

    Form1 form;
    form.show();
    MessageBoxNotifier notifier(&form);
    notifier.warn(QStringLiteral("Coning"), account, {});
    auto *box = form.findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY(box->text().startsWith(QLatin1String("Cause 1: xxx")));
    QVERIFY2(box->text().contains(QLatin1String("35 more")), qPrintable(box->text()));
    QCOMPARE(box->detailedText(), account);
    QVERIFY2(box->sizeHint().height() < box->screen()->availableGeometry().height(),
             qPrintable(QString::number(box->sizeHint().height())));
    box->close();
}

QTEST_MAIN(FormRunTest)
#include "form_run_test.moc"
