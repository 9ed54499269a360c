#include "app_fixture.h"

#include "report/result_descriptions.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QComboBox>
#include <QRadioButton>
#include <QToolBar>

using namespace coning;
using namespace coning::apptest;

namespace {

QString accessibleText(QObject *object, QAccessible::Text text)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(text) : QStringLiteral("<no interface>");
}

const QString staleMark = QString::fromLatin1(staleResultsMark.data(), staleResultsMark.size());

} // namespace

// What the result surfaces say about themselves: whether they belong to the inputs shown, and
// their content in words for a screen reader.
class FormResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void editsMarkTheResultsUntilTheNextCalculation();
    void resultsReachTheAccessibilityTree();
};

void FormResultsTest::editsMarkTheResultsUntilTheNextCalculation()
{
    FormFixture f;
    f.enterSampleWell();
    const std::vector<PictureBox *> boxes{f.picture("Picture1"), f.picture("bar"),
                                          f.picture("Picture2")};
    f.type("permin", QStringLiteral("200")); // before any run there is nothing to mark
    for (PictureBox *box : boxes)
        QVERIFY(box->staleNote().isEmpty());
    f.click("zorv");
    const QColor blue(0, 0, 255);
    QVERIFY(countPixels(boxes[1]->image(), blue) > 100);

    // Each kind of input marks all three surfaces; setting it back, or calculating, clears them.
    const std::vector<std::pair<std::function<void()>, std::function<void()>>> changes{
        {[&] { f.type("permin", QStringLiteral("100")); },
         [&] { f.type("permin", QStringLiteral("200")); }},
        {[&] { f.chooseFluidSystem(QStringLiteral("Gas-Water")); },
         [&] { f.chooseFluidSystem(QStringLiteral("Oil-Water")); }},
        {[&] { f.control<QRadioButton>("Option2")->click(); },
         [&] { f.control<QRadioButton>("Option1")->click(); }},
    };
    for (const auto &[change, undo] : changes) {
        change();
        for (PictureBox *box : boxes) {
            QVERIFY2(box->staleNote().startsWith(staleMark), qPrintable(box->objectName()));
            QVERIFY(box->accessibleDescription().startsWith(staleMark));
        }
        QCOMPARE(countPixels(boxes[1]->image(), blue), 0); // dimmed
        undo();
        for (PictureBox *box : boxes)
            QVERIFY(box->staleNote().isEmpty());
    }
    f.type("permin", QStringLiteral("100"));
    QVERIFY(!boxes[0]->staleNote().isEmpty());
    f.click("zorv");
    for (PictureBox *box : boxes) {
        QVERIFY(box->staleNote().isEmpty());
        QVERIFY(!box->accessibleDescription().startsWith(staleMark));
    }
    QVERIFY(countPixels(boxes[1]->image(), blue) > 100);
    // The title is no input of the run.
    f.type("Text1", QStringLiteral("Well 7"));
    QVERIFY(boxes[0]->staleNote().isEmpty());
}

void FormResultsTest::resultsReachTheAccessibilityTree()
{
    FormFixture f;
    f.enterSampleWell();
    f.click("zorv");
    const RunResult &run = *f.form.lastRun();

    const QString report = accessibleText(f.picture("Picture1"), QAccessible::Value);
    QCOMPARE(accessibleText(f.picture("Picture1"), QAccessible::Name),
             QStringLiteral("Critical coning rates"));
    QCOMPARE(report, QString::fromStdString(reportDescription(&run)));
    for (const char *item : {"Sobocinski 21.1 STB/DAY", "Chaney-Noble 21.8 STB/DAY",
                             "Meyer-Garder 10.5 STB/DAY"})
        QVERIFY2(report.contains(QLatin1String(item)), qPrintable(report));
    const QString bars = accessibleText(f.picture("bar"), QAccessible::Description);
    QVERIFY2(bars.contains(QLatin1String("Muskat 22.6")) && bars.contains(QLatin1String("tallest")),
             qPrintable(bars));
    const QString chart = accessibleText(f.picture("Picture2"), QAccessible::Description);
    QVERIFY2(chart.contains(QLatin1String("design point at 30 % penetration"))
                 && chart.contains(QLatin1String("Guo-Lee from")),
             qPrintable(chart));

    // The fluid-system box: named by its label relation, as Linux screen readers name a combo
    // box, with the choice as its value.
    QAccessibleInterface *syspk = QAccessible::queryAccessibleInterface(f.syspk());
    const auto labels = syspk->relations(QAccessible::Label);
    QCOMPARE(labels.size(), qsizetype(1));
    QCOMPARE(labels[0].first->text(QAccessible::Name), QStringLiteral("Fluid System"));
    QCOMPARE(syspk->text(QAccessible::Value), QStringLiteral("Oil-Water"));
    auto *toolbar = f.control<QToolBar>("Toolbar1");
    for (const char *key : {"Print", "Exit"}) {
        QAction *action = f.control<QAction>(qPrintable(QStringLiteral("Toolbar1_") + key));
        QCOMPARE(accessibleText(toolbar->widgetForAction(action), QAccessible::Name),
                 QString::fromLatin1(key));
    }

    // After a failure the report reads the failure, and the bars why there are none.
    f.type("rwin", QString());
    f.click("zorv");
    const QString failure = accessibleText(f.picture("Picture1"), QAccessible::Value);
    QVERIFY2(failure.startsWith(QLatin1String("Calculation failed: Well radius is zero")),
             qPrintable(failure));
    QCOMPARE(accessibleText(f.picture("bar"), QAccessible::Description),
             QStringLiteral("Bar chart: No rate could be calculated."));
}

QTEST_MAIN(FormResultsTest)
#include "form_results_test.moc"
