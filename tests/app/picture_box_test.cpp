#include "app_fixture.h"

#include "report/number_format.h"
#include "report/results_report.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include <cfloat>
#include <map>

using namespace coning;
using namespace coning::apptest;

namespace {

const QColor white(255, 255, 255);
const QColor blue(0, 0, 255);
const QColor green(0, 255, 0);

// A shown box of 177 by 161 pixels (the text report's size), 173 by 157 inside its border.
struct BoxFixture
{
    QWidget window;
    PictureBox *box = new PictureBox(&window);

    BoxFixture()
    {
        window.resize(300, 200);
        box->setGeometry(0, 0, 177, 161);
        box->setSurfaceFont(fixedPitchFontFitting(26, 173));
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the box did not appear");
    }
    QImage shown() const { return box->grab().toImage().copy(box->innerRect()); }
};

bool anyPixelIn(const QImage &image, QRect area, QColor colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

// A run in which every correlation gave `rate`.
RunResult runOf(double rate)
{
    RunResult run;
    run.fluidSystem = 1;
    run.meyerGarderCondition = true;
    for (CorrelationOutcome &outcome : run.outcomes)
        outcome = {true, rate, {}};
    return run;
}

// The printed lines as a reader sees them: the text items of each baseline, placed at their
// character columns.
QStringList linesOf(const PictureBox &box)
{
    std::map<double, QString> lines;
    for (const DrawOp &op : box.drawing()) {
        QString &line = lines[op.from.y()];
        const int column = int(std::lround(op.from.x() / box.columnWidth()));
        line = line.leftJustified(column, QLatin1Char(' ')) + op.text;
    }
    QStringList all;
    for (const auto &[y, line] : lines)
        all << line;
    return all;
}

} // namespace

// The picture box: its image, print position and tab columns, coordinates and pointer.
class PictureBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void drawingSurvivesHidingAndRepainting();
    void reportLineFitsWithAFiveDigitRate();
    void reportShowsEveryDigitOrSaysTooLarge_data();
    void reportShowsEveryDigitOrSaysTooLarge();
    void tabsCountColumnsFromOneAndWrapWhenPassed();
    void userCoordinatesMapOntoTheInnerArea_data();
    void userCoordinatesMapOntoTheInnerArea();
    void pointsAreAsWideAsTheDrawWidth();
    void boxesAndLines();
    void pictureStaysThroughClearUntilEmptied();
    void extremeCoordinatesAreClippedNotFatal();
    void pointerMovesReportUserCoordinatesAndKeys();
};

void PictureBoxTest::drawingSurvivesHidingAndRepainting()
{
    BoxFixture f;
    f.box->setScale(0, 100, 100, 0);
    f.box->drawBox(10, 10, 50, 50, {0, 0, 255}, true);
    f.box->hide();
    f.box->show();
    f.box->repaint();
    QVERIFY(countPixels(f.shown(), blue) > 1000);
    QCOMPARE(f.shown(), f.box->image());
}

void PictureBoxTest::reportLineFitsWithAFiveDigitRate()
{
    BoxFixture f;
    QVERIFY(f.box->surfaceFont().fixedPitch() || QFontInfo(f.box->surfaceFont()).fixedPitch());
    QVERIFY(f.box->innerRect().width() / f.box->columnWidth() >= 26);
    f.box->print({PrintItem::tab(3),
                  PrintItem::of("Meyer-Garder  = "),
                  PrintItem::tab(20),
                  PrintItem::of("12345.7")});
    // One line: the rate stayed on it, and the box's right-hand column is still blank.
    QCOMPARE(f.box->printPositionPixels().y(), f.box->lineHeight());
    const QImage image = f.box->image();
    QVERIFY(!anyPixelIn(image, QRect(image.width() - 1, 0, 1, 20), Qt::black));
    QVERIFY(countDarkPixels(image) > 0);
}

void PictureBoxTest::reportShowsEveryDigitOrSaysTooLarge_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("ownFont");
    QTest::newRow("5 digits") << 12345.67 << true << true;
    QTest::newRow("6 digits") << 211119.3 << true << false;
    QTest::newRow("9 digits") << 211119293.8 << true << false;
    QTest::newRow("10 digits") << 2111192938.1 << true << false;
    QTest::newRow("12 digits") << 211119293811.3 << false << false;
    QTest::newRow("1E300") << 1e300 << false << false;
}

void PictureBoxTest::reportShowsEveryDigitOrSaysTooLarge()
{
    QFETCH(double, rate);
    QFETCH(bool, shown);
    QFETCH(bool, ownFont);

    BoxFixture f;
    const QFont own = f.box->surfaceFont();
    const RunResult run = runOf(rate);
    printReportText(*f.box, &run, ReportColours::Set);

    const QString value = shown ? QString::fromStdString(formatRate(rate))
                                : QString::fromLatin1(rateTooLargeText.data());
    const QStringList lines = linesOf(*f.box);
    QCOMPARE(lines.size(), 8);
    for (int i = 2; i < 8; ++i)
        QCOMPARE(lines[i].mid(19), value);
    QCOMPARE(ratesTooLargeForReport(run, f.box->mostColumns()).size(), shown ? 0u : 6u);

    // Every glyph inside the box, none cut at its edge; and no smaller text than needed.
    const QRectF inside(QPointF(0, 0), QSizeF(f.box->innerRect().size()));
    for (const DrawOp &op : f.box->drawing()) {
        const QRectF glyphs = QFontMetricsF(op.font).boundingRect(op.text).translated(op.from);
        QVERIFY2(inside.contains(glyphs), qPrintable(op.text));
        QVERIFY(op.font.pixelSize() >= PictureBox::smallestTextPixels);
        QCOMPARE(op.font == own, ownFont);
    }
    if (!ownFont) {
        QFont larger = f.box->drawing().back().font;
        larger.setPixelSize(larger.pixelSize() + 1);
        qsizetype longest = 0;
        for (const QString &line : lines)
            longest = std::max(longest, line.size());
        QVERIFY(longest * QFontMetricsF(larger).horizontalAdvance(QLatin1Char('M'))
                > inside.width());
    }
    // The next clear brings the box's own font back.
    f.box->clear();
    QCOMPARE(f.box->columnWidth(), QFontMetricsF(own).horizontalAdvance(QLatin1Char('M')));
}

void PictureBoxTest::tabsCountColumnsFromOneAndWrapWhenPassed()
{
    BoxFixture f;
    const double column = f.box->columnWidth();
    const double line = f.box->lineHeight();
    f.box->print({PrintItem::tab(5), PrintItem::of("AB")});
    QCOMPARE(f.box->printPositionPixels(), QPointF(0, line));
    // Text starts at column 5, four character widths in.
    const QImage image = f.box->image();
    QVERIFY(!anyPixelIn(image, QRect(0, 0, int(4 * column) - 1, int(line)), Qt::black)
            && countDarkPixels(image.copy(QRect(0, 0, int(4 * column) - 1, int(line)))) == 0);
    QVERIFY(countDarkPixels(image.copy(QRect(int(4 * column), 0, int(2 * column), int(line)))) > 0);

    // A tab to a column already passed goes to that column of the next line.
    f.box->print({PrintItem::of("ABCDEFGH"), PrintItem::tab(3), PrintItem::of("X")});
    QCOMPARE(f.box->printPositionPixels(), QPointF(0, 3 * line));
    f.box->clear();
    QCOMPARE(f.box->printPositionPixels(), QPointF(0, 0));
    QCOMPARE(countDarkPixels(f.box->image()), 0);
}

void PictureBoxTest::userCoordinatesMapOntoTheInnerArea_data()
{
    QTest::addColumn<QRectF>("scale"); // left, top, right, bottom as x, y, width, height
    QTest::addColumn<QPointF>("user");
    QTest::addColumn<QPointF>("pixels");

    // Until a scale is set: twips, 15 to the pixel, from the top-left corner.
    QTest::newRow("twips") << QRectF() << QPointF(150, 300) << QPointF(10, 20);
    QTest::newRow("bar chart, bottom-left")
        << QRectF(0, 110, 140, -110) << QPointF(0, 0) << QPointF(0, 157);
    QTest::newRow("bar chart, top-right")
        << QRectF(0, 110, 140, -110) << QPointF(140, 110) << QPointF(173, 0);
    QTest::newRow("chart, origin") << QRectF(-20, 300, 140, -350) << QPointF(0, 0)
                                   << QPointF(173 * 20.0 / 140, 157 * 300.0 / 350);
}

void PictureBoxTest::userCoordinatesMapOntoTheInnerArea()
{
    QFETCH(QRectF, scale);
    QFETCH(QPointF, user);
    QFETCH(QPointF, pixels);

    BoxFixture f;
    if (!scale.isNull())
        f.box->setScale(scale.left(), scale.top(), scale.right(), scale.bottom());
    QCOMPARE(f.box->toPixels(user), pixels);
    const QPointF back = f.box->toUser(pixels);
    QVERIFY(qAbs(back.x() - user.x()) < 1e-4 && qAbs(back.y() - user.y()) < 1e-4);
    f.box->setPrintPosition(float(user.x()), float(user.y()));
    QVERIFY((f.box->printPositionPixels() - pixels).manhattanLength() < 1e-3);
}

void PictureBoxTest::pointsAreAsWideAsTheDrawWidth()
{
    BoxFixture f;
    f.box->setScale(0, 0, 173, 157); // one unit to the pixel
    f.box->setPoint(20.5f, 20.5f, {0, 0, 255});
    QCOMPARE(countPixels(f.box->image(), blue), 1);
    f.box->setDrawWidth(3);
    f.box->setPoint(60.5f, 60.5f, {0, 255, 0});
    QCOMPARE(countPixels(f.box->image(), green), 9);
    QCOMPARE(f.box->image().pixelColor(60, 60), green);
}

void PictureBoxTest::boxesAndLines()
{
    BoxFixture f;
    f.box->setScale(0, 0, 173, 157);
    f.box->drawBox(10, 10, 30, 20, {0, 0, 255}, true);
    QCOMPARE(countPixels(f.box->image(), blue), 20 * 10);
    f.box->drawBox(50, 10, 70, 20, {0, 255, 0}, false);
    const QImage image = f.box->image();
    QCOMPARE(image.pixelColor(60, 15), white); // an outline leaves the inside alone
    QVERIFY(countPixels(image, green) >= 2 * 20 + 2 * 10);

    // Without a colour of its own a line takes the foreground colour.
    f.box->setForeColor({0, 0, 255});
    f.box->drawLine(100, 50, 100, 100, std::nullopt);
    QCOMPARE(f.box->image().pixelColor(100, 75), blue);
    f.box->drawLine(120, 50, 120, 100, Rgb{255, 0, 0});
    QCOMPARE(f.box->image().pixelColor(120, 75), QColor(255, 0, 0));
}

void PictureBoxTest::pictureStaysThroughClearUntilEmptied()
{
    BoxFixture f;
    f.box->setScale(0, 0, 173, 157);
    f.box->drawBox(10, 10, 30, 20, {0, 0, 255}, true);
    f.box->takeImageAsPicture();
    QVERIFY(f.box->hasPicture());
    f.box->clear();
    QCOMPARE(countPixels(f.box->image(), blue), 200);
    // Drawing over the picture and taking it again does not darken what was there.
    f.box->print({PrintItem::of("Rate")});
    const QImage once = f.box->image();
    f.box->takeImageAsPicture();
    f.box->takeImageAsPicture();
    QCOMPARE(f.box->image(), once);

    f.box->setEmptyPicture();
    f.box->clear();
    QVERIFY(!f.box->hasPicture());
    QCOMPARE(countPixels(f.box->image(), blue), 0);
    QCOMPARE(countDarkPixels(f.box->image()), 0);
}

void PictureBoxTest::extremeCoordinatesAreClippedNotFatal()
{
    BoxFixture f;
    f.box->setScale(0, 110, 140, 0);
    f.box->drawBox(10, 0, 30, FLT_MAX, {0, 0, 255}, true); // a bar of the largest rate
    QVERIFY(countPixels(f.box->image(), blue) > 1000);
    f.box->drawLine(-FLT_MAX, 0, FLT_MAX, 0, std::nullopt);
    f.box->setScale(0, 0, 0, 0); // a scale of no extent
    f.box->setPoint(5, 5, {0, 255, 0});
    f.box->print({PrintItem::of("0")});
}

void PictureBoxTest::pointerMovesReportUserCoordinatesAndKeys()
{
    BoxFixture f;
    f.box->setScale(-20, 300, 120, -50);
    QSignalSpy moves(f.box, &PictureBox::pointerMoved);
    const QPoint at = f.box->innerRect().topLeft() + QPoint(40, 30);
    QTest::mouseMove(f.box, at);
    QMouseEvent drag(QEvent::MouseMove,
                     QPointF(at + QPoint(1, 0)),
                     QPointF(f.box->mapToGlobal(at + QPoint(1, 0))),
                     Qt::NoButton,
                     Qt::LeftButton,
                     Qt::ShiftModifier);
    QApplication::sendEvent(f.box, &drag);
    QVERIFY(moves.size() >= 2);
    const QList<QVariant> plain = moves.first();
    QCOMPARE(plain[0].toInt(), 0);
    QCOMPARE(plain[1].toInt(), 0);
    QCOMPARE(plain[2].toFloat(), float(-20 + 40 * 140.0 / 173));
    QCOMPARE(plain[3].toFloat(), float(300 - 30 * 350.0 / 157));
    const QList<QVariant> pressed = moves.last();
    QCOMPARE(pressed[0].toInt(), 1); // left button
    QCOMPARE(pressed[1].toInt(), 1); // Shift
}

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"
