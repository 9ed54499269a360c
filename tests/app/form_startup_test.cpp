#include "app_fixture.h"

#include "app/form_layout.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>
#include <QTextLayout>
#include <QToolBar>
#include <QToolButton>

#include <tuple>

using namespace coning;
using namespace coning::apptest;

// The window as it opens: layout, texts, colours, what is shown, and the keyboard order.
class FormStartupTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlSitsAtItsTwipPosition();
    void spotChecksInPixels();
    void fieldsAreDrawnOverTheLabelsTheyOverlap();
    void shownAndHiddenControls();
    void captionsKeepTheirBlanks();
    void everyCaptionWordFitsItsControl();
    void labelsKeepTheirNamesWholeAndClearOfTheirFields();
    void colours();
    void fluidSystemComboShowsItsPromptWithNothingSelected();
    void keyboardStartsInTitleAndTabsInFormOrder();
    void menuAndToolbar();
    void fieldsAreAnnouncedByTheirLabels();
};

void FormStartupTest::everyControlSitsAtItsTwipPosition()
{
    FormFixture f;
    QCOMPARE(f.form.clientArea()->size(), QSize(650, 404));
    for (const ControlLayout &layout : formLayout) {
        const QString name = QString::fromLatin1(layout.name.data(), layout.name.size());
        const QWidget *widget = f.control(layout.name.data());
        const QRect expected(layout.left / 15,
                             layout.top / 15,
                             layout.width / 15,
                             layout.height / 15);
        QVERIFY2(widget->geometry() == expected, qPrintable(name));
        const QString container = layout.container.empty() ? QStringLiteral("client")
                                                           : QStringLiteral("Frame1");
        QCOMPARE(widget->parentWidget()->objectName(), container);
        // Every position is a whole number of pixels.
        QVERIFY2(layout.left % 15 == 0 && layout.top % 15 == 0 && layout.width % 15 == 0
                     && layout.height % 15 == 0,
                 qPrintable(name));
    }
}

void FormStartupTest::spotChecksInPixels()
{
    FormFixture f;
    const std::pair<const char *, QRect> expected[] = {
        {"zorv", {40, 240, 153, 33}},
        {"Picture1", {208, 232, 177, 161}},
        {"Picture2", {408, 208, 233, 185}},
        {"bar", {32, 280, 169, 105}},
        {"Option2", {8, 40, 121, 25}},
        {"Toolbar1", {0, 0, 85, 44}},
        {"Label9", {184, 192, 113, 33}},
    };
    for (const auto &[name, rect] : expected)
        QVERIFY2(f.control(name)->geometry() == rect, name);
}

void FormStartupTest::fieldsAreDrawnOverTheLabelsTheyOverlap()
{
    FormFixture f;
    const std::pair<const char *, const char *> overlaps[] = {{"Label7", "din"},
                                                              {"Label10", "topin"}};
    for (const auto &[labelName, fieldName] : overlaps) {
        QWidget *label = f.control(labelName);
        QWidget *field = f.control(fieldName);
        QVERIFY(label->geometry().intersects(field->geometry()));
        const QObjectList stack = f.form.clientArea()->children();
        QVERIFY2(stack.indexOf(field) > stack.indexOf(label), fieldName);
    }
}

void FormStartupTest::shownAndHiddenControls()
{
    FormFixture f;
    const char *shown[] = {"Toolbar1", "Label11", "Text1", "Frame1", "Option1", "Option2",
                           "syspk",    "Label1",  "rwin",  "Label2", "rein",    "Label6",
                           "hin",      "Label7",  "din",   "Label4", "bin",     "Label5",
                           "vin",      "Label8",  "rhoin", "Label3", "permin",  "zorv"};
    const char *hidden[] = {"Label10", "topin", "Label9", "bhpin", "Picture1", "Picture2", "bar"};
    for (const char *name : shown)
        QVERIFY2(f.control(name)->isVisible(), name);
    for (const char *name : hidden)
        QVERIFY2(!f.control(name)->isVisible(), name);
    for (const char *name :
         {"Text1", "rwin", "rein", "hin", "din", "topin", "bin", "vin", "rhoin", "permin", "bhpin"})
        QVERIFY2(f.field(name)->text().isEmpty(), name);
    QVERIFY(f.control<QRadioButton>("Option1")->isChecked());
    QVERIFY(!f.control<QRadioButton>("Option2")->isChecked());
}

void FormStartupTest::captionsKeepTheirBlanks()
{
    FormFixture f;
    const std::pair<const char *, const char *> captions[] = {
        {"Label11", "Title"},
        {"Label1", "Well Radius         in."},
        {"Label2", "Drainage Radius    ft."},
        {"Label6", "Zone Thickness           ft."},
        {"Label7", "Penetration Thickness                      ft."},
        {"Label10", "Distance to Top of Completion      ft."},
        {"Label4", "Oil fvf    RVB/STB"},
        {"Label5", "Oil Viscosity   cp."},
        {"Label8", "Density Difference      gm./cc."},
        {"Label9", "Bottom-Hole Pressure         psia   (optional)"},
        {"Label3", "Permeability     md."},
    };
    for (const auto &[name, caption] : captions)
        QCOMPARE(f.control<QLabel>(name)->text(), QString::fromLatin1(caption));
    QCOMPARE(f.control<QGroupBox>("Frame1")->title(), QStringLiteral("Completion Type"));
    QCOMPARE(f.control<QRadioButton>("Option1")->text(), QStringLiteral("Partial Penetration"));
    QCOMPARE(f.control<QRadioButton>("Option2")->text(), QStringLiteral("Partial Completion"));
    QCOMPARE(f.control<QPushButton>("zorv")->text(),
             QStringLiteral("Calculate Critical Coning Rate"));
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Critical Coning Rate Calculation"));
    QVERIFY(!f.form.windowIcon().isNull());
}

void FormStartupTest::everyCaptionWordFitsItsControl()
{
    FormFixture f;
    // Labels wrap at blanks only, so a word wider than its label would be cut off.
    for (QLabel *label : f.form.clientArea()->findChildren<QLabel *>()) {
        QVERIFY(label->wordWrap());
        const QFontMetrics metrics(label->font());
        for (const QString &word : label->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QVERIFY2(metrics.horizontalAdvance(word) <= label->width(),
                     qPrintable(label->objectName() + QLatin1Char(':') + word));
        // A two-line box holds two lines.
        if (label->height() >= 33)
            QVERIFY2(2 * metrics.height() <= label->height(), qPrintable(label->objectName()));
    }
    for (const char *name : {"Option1", "Option2"}) {
        auto *option = f.control<QRadioButton>(name);
        const QStyle *style = option->style();
        const int text = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, option)
                         + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, option)
                         + option->fontMetrics().horizontalAdvance(option->text());
        QVERIFY2(text <= option->width(), name);
    }
}

namespace {

struct WrappedLine
{
    QString text;
    qreal width;
};

// The lines of a word-wrapped label, as it breaks them.
std::vector<WrappedLine> wrappedLines(QLabel *label)
{
    QTextLayout layout(label->text(), label->font(), label);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    std::vector<WrappedLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(label->contentsRect().width());
        lines.push_back({label->text().mid(line.textStart(), line.textLength()).simplified(),
                         line.naturalTextWidth()});
    }
    layout.endLayout();
    return lines;
}

} // namespace

void FormStartupTest::labelsKeepTheirNamesWholeAndClearOfTheirFields()
{
    // The first line of every caption the labels show, after choosing the system (none: the
    // captions at start-up).
    const std::tuple<const char *, const char *, const char *> firstLines[] = {
        {"", "Label11", "Title"},
        {"", "Label1", "Well Radius"},
        {"", "Label2", "Drainage Radius"},
        {"", "Label6", "Zone Thickness"},
        {"", "Label7", "Penetration Thickness"},
        {"", "Label4", "Oil fvf"},
        {"", "Label5", "Oil Viscosity"},
        {"", "Label8", "Density Difference"},
        {"", "Label3", "Permeability"},
        {"Oil-Water", "Label4", "Oil FVF"},
        {"Oil-Water", "Label5", "Oil Viscosity"},
        {"Gas-Water", "Label9", "Bottom-Hole Pressure"},
        {"Gas-Water", "Label4", "Gas FVF"},
        {"Gas-Water", "Label5", "Gas Viscosity"},
        {"Gas-Oil", "Label10", "Distance to Top of"}, // too long for its box at a readable size
    };
    FormFixture f;
    QCOMPARE(QFontInfo(f.control<QLabel>("Label1")->font()).family(),
             QStringLiteral("Liberation Sans"));
    for (const auto &[system, name, firstLine] : firstLines) {
        if (*system && f.syspk()->currentText() != QLatin1String(system))
            f.chooseFluidSystem(QString::fromLatin1(system));
        auto *label = f.control<QLabel>(name);
        QVERIFY2(label->isVisible(), name);
        const std::vector<WrappedLine> lines = wrappedLines(label);
        QCOMPARE(lines.front().text, QString::fromLatin1(firstLine));
        // Every line within the box, and left of any field the box reaches under.
        qreal room = label->width();
        for (QWidget *field : f.form.clientArea()->findChildren<QLineEdit *>()) {
            const QRect box = label->geometry();
            if (field->isVisible() && field->geometry().intersects(box) && field->x() > box.x())
                room = std::min<qreal>(room, field->x() - box.x());
        }
        for (const WrappedLine &line : lines)
            QVERIFY2(line.width <= room, qPrintable(label->objectName() + ':' + line.text));
        QVERIFY2(lines.size() * QFontMetricsF(label->font()).lineSpacing() <= label->height(), name);
    }
}

void FormStartupTest::colours()
{
    FormFixture f;
    const QImage client = f.form.clientArea()->grab().toImage();
    QCOMPARE(client.pixelColor(640, 200), QColor(128, 255, 255));
    const QImage frame = f.control("Frame1")->grab().toImage();
    QCOMPARE(frame.pixelColor(frame.width() - 4, 2), QColor(255, 255, 192));
    // The option buttons reach the frame's right and bottom edges, yet its border shows whole.
    const auto edge = [&frame](int x, int y) {
        return frame.pixelColor(x, y) != QColor(255, 255, 192);
    };
    int right = 0;
    int bottom = 0;
    for (int y = frame.height() / 3; y < frame.height() - 4; ++y)
        right += edge(frame.width() - 2, y) || edge(frame.width() - 1, y) ? 1 : 0;
    for (int x = 4; x < frame.width() - 4; ++x)
        bottom += edge(x, frame.height() - 2) || edge(x, frame.height() - 1) ? 1 : 0;
    QCOMPARE(right, frame.height() - 4 - frame.height() / 3);
    QCOMPARE(bottom, frame.width() - 8);
    const QImage option = f.control("Option2")->grab().toImage();
    QCOMPARE(option.pixelColor(option.width() - 2, 2), QColor(255, 255, 192));

    // The calculate button is filled with its colour inside a visible edge and shows its focus.
    QWidget *zorv = f.control("zorv");
    const QImage button = zorv->grab().toImage();
    const auto isFill = [](QColor c) {
        return std::abs(c.red() - 255) + std::abs(c.green() - 192) + std::abs(c.blue() - 192) <= 6;
    };
    int filled = 0;
    for (int y = 0; y < button.height(); ++y)
        for (int x = 0; x < button.width(); ++x)
            filled += isFill(button.pixelColor(x, y)) ? 1 : 0;
    QVERIFY2(filled > 0.6 * button.width() * button.height(), qPrintable(QString::number(filled)));
    QVERIFY(!isFill(button.pixelColor(0, 0)));
    QVERIFY(!isFill(button.pixelColor(button.width() - 1, button.height() - 1)));
    QApplication::setActiveWindow(&f.form);
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    zorv->setFocus();
    QVERIFY(zorv->grab().toImage() != button);
    // The pictures' background and initial text colour are the system's window colours.
    PictureBox *picture1 = f.picture("Picture1");
    QCOMPARE(picture1->foreColor(), QApplication::palette().color(QPalette::Text));
    QCOMPARE(picture1->image().pixelColor(5, 5), QApplication::palette().color(QPalette::Base));
}

void FormStartupTest::fluidSystemComboShowsItsPromptWithNothingSelected()
{
    FormFixture f;
    QComboBox *combo = f.syspk();
    QCOMPARE(combo->currentText(), QStringLiteral("Select Fluid System"));
    QCOMPARE(combo->currentIndex(), -1);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(0), QStringLiteral("Oil-Water"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Gas-Water"));
    QCOMPARE(combo->itemText(2), QStringLiteral("Gas-Oil"));
}

void FormStartupTest::keyboardStartsInTitleAndTabsInFormOrder()
{
    FormFixture f;
    QApplication::setActiveWindow(&f.form);
    QVERIFY(QTest::qWaitForWindowActive(&f.form));
    QCOMPARE(QApplication::focusWidget(), f.control("Text1"));
    const char *order[] = {
        "syspk", "rwin", "rein", "hin", "din", "bin", "vin", "rhoin", "permin", "zorv"};
    for (const char *name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        // The combo box's text line takes the focus for the combo box.
        if (focus && focus->parentWidget() && qobject_cast<QComboBox *>(focus->parentWidget()))
            focus = focus->parentWidget();
        QVERIFY2(focus == f.control(name),
                 qPrintable(QStringLiteral("expected %1, got %2")
                                .arg(QLatin1String(name), focus ? focus->objectName() : "none")));
    }
}

void FormStartupTest::menuAndToolbar()
{
    FormFixture f;
    const QList<QAction *> menu = f.form.menuBar()->actions();
    QCOMPARE(menu.size(), 3);
    QCOMPARE(menu[0]->text(), QStringLiteral("&Print"));
    QCOMPARE(menu[1]->text(), QStringLiteral("E&xit"));
    QCOMPARE(menu[2]->text(), QStringLiteral("&Version"));
    QVERIFY(menu[2]->menu());
    const QList<QAction *> version = menu[2]->menu()->actions();
    QCOMPARE(version.size(), 1);
    QCOMPARE(version[0]->text(), QStringLiteral("02294"));

    auto *toolbar = f.control<QToolBar>("Toolbar1");
    const QList<QAction *> buttons = toolbar->actions();
    QCOMPARE(buttons.size(), 2);
    const char *keys[] = {"Print", "Exit"};
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(buttons[i]->data().toString(), QString::fromLatin1(keys[i]));
        QCOMPARE(buttons[i]->toolTip(), QString::fromLatin1(keys[i]));
        QVERIFY(buttons[i]->text().isEmpty());
        QVERIFY(!buttons[i]->icon().isNull());
        QWidget *button = toolbar->widgetForAction(buttons[i]);
        QVERIFY(button->isVisible());
        QCOMPARE(button->size(), QSize(39, 38));
        QVERIFY(toolbar->rect().contains(button->geometry()));
        QCOMPARE(qobject_cast<QToolButton *>(button)->iconSize(), QSize(32, 32));
    }
}

void FormStartupTest::fieldsAreAnnouncedByTheirLabels()
{
    FormFixture f;
    const auto announced = [](QWidget *w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    const std::pair<const char *, const char *> rows[] = {
        {"Label11", "Text1"},
        {"Label1", "rwin"},
        {"Label2", "rein"},
        {"Label6", "hin"},
        {"Label7", "din"},
        {"Label10", "topin"},
        {"Label4", "bin"},
        {"Label5", "vin"},
        {"Label8", "rhoin"},
        {"Label3", "permin"},
        {"Label9", "bhpin"},
    };
    for (const auto &[label, field] : rows) {
        QCOMPARE(f.control<QLabel>(label)->buddy(), f.control(field));
        QCOMPARE(announced(f.control(field)), f.control<QLabel>(label)->text().simplified());
    }
    QCOMPARE(announced(f.field("permin")), QStringLiteral("Permeability md."));
    // A relabelled field is announced by its new caption.
    f.chooseFluidSystem(QStringLiteral("Gas-Water"));
    QCOMPARE(announced(f.field("vin")), QStringLiteral("Gas Viscosity cp."));
    QCOMPARE(announced(f.field("bin")), QStringLiteral("Gas FVF RVB/MCF"));
}

QTEST_MAIN(FormStartupTest)
#include "form_startup_test.moc"
