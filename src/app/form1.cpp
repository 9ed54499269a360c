#include "form1.h"

#include "notifier.h"
#include "picture_box.h"
#include "resources_init.h"

#include <QComboBox>
#include <QIcon>
#include <QLineEdit>
#include <QRadioButton>

namespace coning {

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
    , m_notifier(std::make_unique<MessageBoxNotifier>(this))
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

} // namespace coning
