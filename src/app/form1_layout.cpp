#include "form1.h"

#include "form_layout.h"
#include "picture_box.h"
#include "wrapping_button.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRadioButton>
#include <QToolBar>
#include <QToolButton>
#include <QValidator>

#include <algorithm>
#include <vector>

// The form: every control at its place, with its text, colours, visibility and tab order.

namespace coning {
namespace {

const QColor windowBackground(128, 255, 255);
const QColor frameBackground(255, 255, 192);
const QColor calculateButtonFill(255, 192, 192);

// The report's longest line: a label from column 3 ("Meyer-Garder  = ", 16 characters) and a
// five-digit rate from column 20 ("12345.7"), so 26 columns must fit across Picture1.
constexpr int reportColumns = 26;

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QRect pixelRect(const ControlLayout &control)
{
    return {toPixels(control.left),
            toPixels(control.top),
            toPixels(control.width),
            toPixels(control.height)};
}

void fill(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

// The form's controls were laid out for an 8-point sans-serif of the Arial metrics, which
// Liberation Sans shares. At 10 pixels every label keeps the name before its unit on one line
// ("Drainage Radius" fills 74 of Label2's 81 pixels), text stays clear of the field beside it,
// and the two-line boxes hold both lines.
QFont formFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    return font;
}

QLabel *label(const QString &caption)
{
    auto *label = new QLabel(caption);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true); // at blanks, when the caption is wider than the box
    return label;
}

// Typed text stays typed text: it never counts as choosing a list item. A validator that never
// accepts keeps the line edit from reporting a finished edit, which would otherwise make the
// combo box select the matching item and announce it as chosen.
class TypedTextStays : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &, int &) const override { return Intermediate; }
};

// A wheel turn over the closed fluid-system box would step the shown item without choosing it,
// leaving rows and captions that belong to another system; the turn changes nothing instead.
// The open list scrolls as usual: its wheel events go to the list, not to the box.
class WheelChangesNothing : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return event->type() == QEvent::Wheel || QObject::eventFilter(watched, event);
    }
};

// A frame whose line runs through the middle of its title, as the form was designed: drawn
// below the title, as styles do, it would cross the first option button's circle.
class TitledFrame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        const int middle = metrics.height() / 2;
        painter.setPen(QColor(160, 160, 160));
        painter.drawRect(QRect(0, middle, width() - 1, height() - middle - 1));
        const QRect titleArea(6, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
        painter.fillRect(titleArea, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(titleArea, Qt::AlignCenter, title());
    }
};

} // namespace

void Form1::createControls()
{
    m_ui.client = new QWidget(this);
    m_ui.client->setObjectName(QStringLiteral("client"));
    m_ui.client->setFixedSize(toPixels(clientWidthTwips), toPixels(clientHeightTwips));
    m_ui.client->setFont(formFont());
    m_ui.client->setAutoFillBackground(true);
    fill(m_ui.client, QPalette::Window, windowBackground);
    setCentralWidget(m_ui.client);

    const auto place = [this](QWidget *widget, std::string_view name) {
        const ControlLayout &control = layoutOf(name);
        QWidget *container = control.container.empty() ? m_ui.client : m_ui.Frame1;
        widget->setParent(container);
        widget->setObjectName(nameOf(name));
        widget->setGeometry(pixelRect(control));
    };
    const auto field = [&place](std::string_view name) {
        auto *edit = new QLineEdit;
        place(edit, name);
        return edit;
    };
    const auto picture = [&place](std::string_view name) {
        auto *box = new PictureBox;
        place(box, name);
        box->setDesignSize(pixelRect(layoutOf(name)).size());
        box->setFocusPolicy(Qt::NoFocus);
        box->hide();
        return box;
    };

    createToolbar();
    place(m_ui.Label11 = label(QStringLiteral("Title")), "Label11");
    m_ui.Text1 = field("Text1");

    m_ui.Frame1 = new TitledFrame(QStringLiteral("Completion Type"));
    place(m_ui.Frame1, "Frame1");
    m_ui.Frame1->setAutoFillBackground(true);
    fill(m_ui.Frame1, QPalette::Window, frameBackground);

    m_ui.Option1 = new QRadioButton(QStringLiteral("Partial Penetration"));
    m_ui.Option2 = new QRadioButton(QStringLiteral("Partial Completion"));
    // The option buttons stand on the frame's own fill: filling their boxes too would paint
    // over the frame's border and title where a box reaches them.
    for (auto [option, name] :
         {std::pair{m_ui.Option1, "Option1"}, std::pair{m_ui.Option2, "Option2"}}) {
        place(option, name);
        option->setBackgroundRole(QPalette::Window);
        fill(option, QPalette::Window, frameBackground);
    }

    m_ui.syspk = new QComboBox;
    place(m_ui.syspk, "syspk");
    m_ui.syspk->setEditable(true);
    m_ui.syspk->setInsertPolicy(QComboBox::NoInsert);
    m_ui.syspk->setCompleter(nullptr);
    m_ui.syspk->setValidator(new TypedTextStays(m_ui.syspk));
    m_ui.syspk->installEventFilter(new WheelChangesNothing(m_ui.syspk));
    m_ui.syspk->setEditText(QStringLiteral("Select Fluid System"));

    place(m_ui.Label1 = label(QStringLiteral("Well Radius         in.")), "Label1");
    m_ui.rwin = field("rwin");
    place(m_ui.Label2 = label(QStringLiteral("Drainage Radius    ft.")), "Label2");
    m_ui.rein = field("rein");
    place(m_ui.Label6 = label(QStringLiteral("Zone Thickness           ft.")), "Label6");
    m_ui.hin = field("hin");
    place(m_ui.Label7 = label(QStringLiteral("Penetration Thickness                      ft.")),
          "Label7");
    m_ui.din = field("din");
    place(m_ui.Label10 = label(QStringLiteral("Distance to Top of Completion      ft.")), "Label10");
    m_ui.topin = field("topin");
    place(m_ui.Label4 = label(QStringLiteral("Oil fvf    RVB/STB")), "Label4");
    m_ui.bin = field("bin");
    place(m_ui.Label5 = label(QStringLiteral("Oil Viscosity   cp.")), "Label5");
    m_ui.vin = field("vin");
    place(m_ui.Label8 = label(QStringLiteral("Density Difference      gm./cc.")), "Label8");
    m_ui.rhoin = field("rhoin");
    place(m_ui.Label9 = label(QStringLiteral("Bottom-Hole Pressure         psia   (optional)")),
          "Label9");
    m_ui.Label9->hide();
    place(m_ui.Label3 = label(QStringLiteral("Permeability     md.")), "Label3");
    m_ui.permin = field("permin");
    m_ui.bhpin = field("bhpin");
    m_ui.bhpin->hide();

    m_ui.Picture2 = picture("Picture2");
    m_ui.Picture1 = picture("Picture1");
    m_ui.zorv = new WrappingButton(QStringLiteral("Calculate Critical Coning Rate"));
    place(m_ui.zorv, "zorv");
    fill(m_ui.zorv, QPalette::Button, calculateButtonFill);
    m_ui.bar = picture("bar");

    // One fixed-pitch font for the three surfaces, sized to the text report.
    const QFont reportFont = fixedPitchFontFitting(reportColumns,
                                                   m_ui.Picture1->innerRect().width());
    for (PictureBox *box : {m_ui.Picture1, m_ui.bar, m_ui.Picture2})
        box->setSurfaceFont(reportFont);

    // Each field is announced by its label's caption, blanks aside ("Permeability md.").
    m_ui.Label11->setBuddy(m_ui.Text1);
    m_ui.Text1->setAccessibleName(m_ui.Label11->text());
    m_ui.syspk->setAccessibleName(QStringLiteral("Fluid System"));
    // A combo box on Linux is announced by its text, and named by the label it is the buddy of:
    // a label that is never shown names it "Fluid System" for a screen reader.
    QLabel *syspkName = label(QStringLiteral("Fluid System"));
    syspkName->setParent(m_ui.client);
    syspkName->setObjectName(QStringLiteral("syspkName"));
    syspkName->setBuddy(m_ui.syspk);
    syspkName->hide();
    for (const auto &[caption, edit] : fieldRows()) {
        caption->setBuddy(edit);
        setCaption(caption, caption->text());
    }
    m_ui.Picture1->setAccessibleName(QStringLiteral("Critical coning rates"));
    m_ui.bar->setAccessibleName(QStringLiteral("Bar chart of the rates"));
    m_ui.Picture2->setAccessibleName(QStringLiteral("Rate against percent penetration"));

    // Where a label reaches under the neighbouring field, the field is drawn over it.
    for (QLineEdit *edit : m_ui.client->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly))
        edit->raise();

    createMenu();
    setKeyboardOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form1::createToolbar()
{
    m_ui.Toolbar1 = new QToolBar(m_ui.client);
    m_ui.Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    m_ui.Toolbar1->setGeometry(pixelRect(layoutOf("Toolbar1")));
    m_ui.Toolbar1->setMovable(false);
    m_ui.Toolbar1->setAutoFillBackground(true);
    m_ui.Toolbar1->setIconSize(QSize(32, 32));
    m_ui.Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_ui.Toolbar1->setContentsMargins(0, 0, 0, 0);
    m_ui.Toolbar1->layout()->setContentsMargins(0, 0, 0, 0);
    m_ui.Toolbar1->layout()->setSpacing(0);

    // The image list's pictures; the key goes with each button and doubles as its tool tip.
    const std::pair<const char *, const char *> buttons[] = {
        {":/images/printer.xpm", "Print"},
        {":/images/firecracker.xpm", "Exit"},
    };
    for (const auto &[image, key] : buttons) {
        QAction *button = m_ui.Toolbar1->addAction(QIcon(QString::fromLatin1(image)), QString());
        button->setObjectName(QStringLiteral("Toolbar1_") + QString::fromLatin1(key));
        button->setData(QString::fromLatin1(key));
        button->setToolTip(QString::fromLatin1(key));
        // Each button is 39 by 38 pixels around its 32 by 32 image, and has no caption; the key
        // names it for a screen reader.
        QWidget *toolButton = m_ui.Toolbar1->widgetForAction(button);
        toolButton->setFixedSize(39, 38);
        toolButton->setAccessibleName(QString::fromLatin1(key));
    }
}

void Form1::createMenu()
{
    m_ui.a1 = menuBar()->addAction(QStringLiteral("&Print"));
    m_ui.a1->setObjectName(QStringLiteral("a1"));
    m_ui.a2 = menuBar()->addAction(QStringLiteral("E&xit"));
    m_ui.a2->setObjectName(QStringLiteral("a2"));
    QMenu *version = menuBar()->addMenu(QStringLiteral("&Version"));
    version->setObjectName(QStringLiteral("a3"));
    m_ui.a3 = version->menuAction();
    m_ui.a4 = version->addAction(QStringLiteral("02294"));
    m_ui.a4->setObjectName(QStringLiteral("a4"));
}

void Form1::setKeyboardOrder()
{
    // The keyboard order of the controls that take focus, by their tab index.
    std::vector<const ControlLayout *> order;
    for (const ControlLayout &control : formLayout)
        order.push_back(&control);
    std::sort(order.begin(), order.end(), [](const ControlLayout *a, const ControlLayout *b) {
        return a->tabIndex < b->tabIndex;
    });
    QWidget *previous = nullptr;
    for (const ControlLayout *control : order) {
        auto *widget = m_ui.client->findChild<QWidget *>(nameOf(control->name));
        if (!widget || widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace coning
