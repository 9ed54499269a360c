#include "form1.h"

#include "notifier.h"
#include "picture_box.h"
#include "resources_init.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace coning {

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
    , m_notifier(std::make_unique<MessageBoxNotifier>(this, [this] { return fieldsArea(); }))
    , m_printers(systemDefaultPrinter)
{
    initConingRateResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Critical Coning Rate Calculation"));
    setWindowIcon(QIcon(QStringLiteral(":/images/coning-rate.png")));
    createControls();
    connectEvents();
    Form_Load();
    // The keyboard starts in the title line, the first in the tab order.
    m_ui.Text1->setFocus();
}

Form1::~Form1() = default;

void Form1::setNotifier(std::unique_ptr<Notifier> notifier)
{
    m_notifier = std::move(notifier);
}

void Form1::setPrinterSource(PrinterSource printers)
{
    m_printers = std::move(printers);
}

std::string Form1::fluidSystemText() const
{
    return m_ui.syspk->currentText().toStdString();
}

bool Form1::partialPenetrationSelected() const
{
    return m_ui.Option1->isChecked();
}

bool Form1::partialCompletionSelected() const
{
    return m_ui.Option2->isChecked();
}

ReportSurfaces Form1::surfaces()
{
    return {*m_ui.Picture1, *m_ui.bar, *m_ui.Picture2};
}

std::vector<std::pair<QLabel *, QLineEdit *>> Form1::fieldRows() const
{
    return {{m_ui.Label1, m_ui.rwin},
            {m_ui.Label2, m_ui.rein},
            {m_ui.Label6, m_ui.hin},
            {m_ui.Label7, m_ui.din},
            {m_ui.Label10, m_ui.topin},
            {m_ui.Label4, m_ui.bin},
            {m_ui.Label5, m_ui.vin},
            {m_ui.Label8, m_ui.rhoin},
            {m_ui.Label3, m_ui.permin},
            {m_ui.Label9, m_ui.bhpin}};
}

void Form1::setCaption(QLabel *label, const QString &caption)
{
    label->setText(caption);
    // Read out as "Permeability md.", not with the blanks that space the unit on screen.
    if (label->buddy())
        label->buddy()->setAccessibleName(caption.simplified());
}

QRect Form1::fieldsArea() const
{
    QRect area;
    const QWidget *choices[] = {m_ui.Text1, m_ui.syspk, m_ui.Frame1};
    for (const QWidget *control : choices)
        area |= control->geometry();
    for (const auto &[label, field] : fieldRows())
        area |= label->geometry() | field->geometry();
    return area.translated(m_ui.client->mapToGlobal(QPoint(0, 0)));
}

} // namespace coning
