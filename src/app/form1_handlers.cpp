#include "form1.h"

#include "notifier.h"
#include "picture_box.h"
#include "report/field_read_text.h"
#include "report/pointer_readout.h"
#include "report/rate_in_full_text.h"
#include "report/report_presenter.h"
#include "report/result_descriptions.h"
#include "report/run_messages.h"
#include "wrapping_button.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>

// The window's events and what they do: input fields, choices, the calculate button and the
// print and exit commands.

namespace coning {
namespace {

const QString gasWater = QStringLiteral("Gas-Water");
const QString gasOil = QStringLiteral("Gas-Oil");

void setRow(QLabel *label, QWidget *field, bool visible)
{
    label->setVisible(visible);
    field->setVisible(visible);
}

} // namespace

void Form1::connectEvents()
{
    // Every change of a field's text, typed, pasted or set by the program.
    const std::pair<QLineEdit *, void (Form1::*)(const QString &)> fields[] = {
        {m_ui.permin, &Form1::permin_Change},
        {m_ui.vin, &Form1::vin_Change},
        {m_ui.bin, &Form1::bin_Change},
        {m_ui.rhoin, &Form1::rhoin_Change},
        {m_ui.rein, &Form1::rein_Change},
        {m_ui.rwin, &Form1::rwin_Change},
        {m_ui.bhpin, &Form1::bhpin_Change},
        {m_ui.topin, &Form1::topin_Change},
        {m_ui.hin, &Form1::hin_Change},
        {m_ui.din, &Form1::din_Change},
    };
    for (const auto &[edit, handler] : fields) {
        connect(edit, &QLineEdit::textChanged, this, handler);
        connect(edit, &QLineEdit::textChanged, this, &Form1::markResults);
    }
    // The shown results are marked as soon as the inputs leave those of their calculation, and
    // unmarked when they come back: the fluid-system text (chosen or typed) and the completion
    // type count as inputs.
    connect(m_ui.syspk, &QComboBox::currentTextChanged, this, &Form1::markResults);
    connect(m_ui.Option1, &QRadioButton::toggled, this, &Form1::markResults);

    // Only choosing a list item counts; typing into the text line runs nothing.
    connect(m_ui.syspk, &QComboBox::activated, this, &Form1::syspk_Click);
    // A click notifies even when the button is already selected.
    connect(m_ui.Option1, &QRadioButton::clicked, this, &Form1::Option1_Click);
    connect(m_ui.Option2, &QRadioButton::clicked, this, &Form1::Option2_Click);
    connect(m_ui.zorv, &QPushButton::clicked, this, &Form1::zorv_Click);
    connect(m_ui.a1, &QAction::triggered, this, &Form1::a1_Click);
    connect(m_ui.a2, &QAction::triggered, this, &Form1::a2_Click);
    connect(m_ui.Toolbar1, &QToolBar::actionTriggered, this, &Form1::Toolbar1_ButtonClick);
    connect(m_ui.Picture2, &PictureBox::pointerMoved, this, &Form1::Picture2_MouseMove);
}

void Form1::Form_Load()
{
    // Appending to an empty editable combo box selects the first item; the box keeps showing its
    // prompt with nothing selected.
    const QString prompt = m_ui.syspk->currentText();
    m_ui.syspk->addItems({QStringLiteral("Oil-Water"), gasWater, gasOil});
    m_ui.syspk->setCurrentIndex(-1);
    m_ui.syspk->setEditText(prompt);

    // Selecting from the program notifies a click, as the user's click does.
    m_ui.Option1->click();
    setRow(m_ui.Label10, m_ui.topin, false);
}

void Form1::syspk_Click()
{
    if (m_ui.syspk->currentText() == gasWater) {
        setRow(m_ui.Label9, m_ui.bhpin, true);
        setCaption(m_ui.Label4, QStringLiteral("  Gas FVF     RVB/MCF"));
        setCaption(m_ui.Label5, QStringLiteral("Gas Viscosity            cp."));
    } else {
        setRow(m_ui.Label9, m_ui.bhpin, false);
        setCaption(m_ui.Label4, QStringLiteral("  Oil FVF      RVB/STB"));
        setCaption(m_ui.Label5, QStringLiteral("Oil Viscosity             cp."));
    }
    if (m_ui.syspk->currentText() == gasOil) {
        setRow(m_ui.Label7, m_ui.din, false);
        setRow(m_ui.Label10, m_ui.topin, true);
    } else {
        setRow(m_ui.Label7, m_ui.din, true);
        setRow(m_ui.Label10, m_ui.topin, false);
    }
    // A partial completion reads the penetration and the distance to the top of the completion
    // whatever the fluid system: a value the run uses is never out of sight.
    if (m_ui.Option2->isChecked()) {
        setRow(m_ui.Label7, m_ui.din, true);
        setRow(m_ui.Label10, m_ui.topin, true);
    }
}

void Form1::Option1_Click()
{
    if (m_ui.syspk->currentText() == gasOil)
        setRow(m_ui.Label7, m_ui.din, false);
    else
        setRow(m_ui.Label10, m_ui.topin, false);
}

void Form1::Option2_Click()
{
    m_ui.Label10->show();
    m_ui.topin->show();
    m_ui.Label7->show();
    m_ui.din->show();
    m_ui.Picture2->hide();
}

void Form1::zorv_Click()
{
    ReportPresenter presenter(surfaces());
    m_inputsOfLastRun = runInputs();
    m_lastRun = runCalculation(m_module1, *this, presenter);
    markResults();
    // What was read, then what the run made of it, then the rates the report cannot show as
    // they are.
    std::vector<std::string> messages = fieldsNotReadAsTyped();
    for (std::string &message : runMessages(*m_lastRun))
        messages.push_back(std::move(message));
    for (std::string &message : describeRatesInFull(*m_lastRun, m_ui.Picture1->mostColumns()))
        messages.push_back(std::move(message));

    if (messages.empty()) {
        m_notifier->withdraw(windowTitle()); // an earlier run's messages no longer hold
        return;
    }
    QStringList shown;
    for (const std::string &message : messages)
        shown.append(QString::fromStdString(message));
    m_notifier->warn(windowTitle(), shown);
}

std::vector<std::string> Form1::fieldsNotReadAsTyped() const
{
    std::vector<std::string> messages;
    for (const auto &[label, field] : fieldRows()) {
        if (field->isHidden())
            continue;
        const std::string name = label->text().simplified().toStdString();
        if (auto message = fieldNotReadAsTyped(name, field->text().toStdString()))
            messages.push_back(std::move(*message));
    }
    return messages;
}

void Form1::a1_Click()
{
    // The rates stay on screen when an input changes; the page must not pair them with inputs
    // they were not computed from unless the user wants just that, and then it says so.
    if (resultsStale()) {
        m_notifier->ask(QStringLiteral("Print"),
                        QStringLiteral("The inputs have changed since the last calculation: the "
                                       "page would show the rates of the earlier inputs beside "
                                       "the new ones.\n\nPrint the results of the earlier "
                                       "inputs anyway, or calculate with the new inputs and "
                                       "print those results?"),
                        {{QStringLiteral("Print Anyway"), [this] { printWindow(true); }},
                         {QStringLiteral("Calculate and Print"), [this] {
                              zorv_Click();
                              printWindow(false);
                          }}});
        return;
    }
    printWindow(false);
}

void Form1::printWindow(bool stale)
{
    const RunResult *lastRun = m_lastRun ? &*m_lastRun : nullptr;
    const std::string note = stale ? std::string(staleResultsNote) : std::string();
    const PrintOutcome outcome = printReport(surfaces(), lastRun, [this, &note] {
        // The client area as it shows the paper pass, before the screen pass redraws it.
        return printOnDefaultPrinter(*m_ui.client, m_printers, *m_notifier, this, note);
    });
    if (!outcome.ok)
        m_notifier->warn(QStringLiteral("Print"), {QString::fromStdString(outcome.error)});
}

bool Form1::resultsStale() const
{
    return m_lastRun && runInputs() != m_inputsOfLastRun;
}

void Form1::markResults()
{
    if (!m_lastRun)
        return;
    const bool stale = resultsStale();
    const auto note = [stale](std::string_view text) {
        return stale ? QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
                     : QString();
    };
    m_ui.Picture1->setStaleNote(note(staleResultsScreenNote), PictureBox::NoteEdge::Bottom);
    m_ui.bar->setStaleNote(note(staleResultsMark), PictureBox::NoteEdge::Top);
    m_ui.Picture2->setStaleNote(note(staleResultsMark), PictureBox::NoteEdge::Top);

    const auto words = [stale](const std::string &description) {
        const std::string text = stale ? std::string(staleResultsMark) + ". " + description
                                       : description;
        return QString::fromStdString(text);
    };
    m_ui.Picture1->setAccessibleText(words(reportDescription(&*m_lastRun)));
    m_ui.bar->setAccessibleText(words(barChartDescription(*m_lastRun)));
    m_ui.Picture2->setAccessibleText(
        m_lastRun->swept ? words(rateChartDescription(*m_lastRun)) : QString());
}

QStringList Form1::runInputs() const
{
    QStringList inputs;
    for (const QLineEdit *field : {m_ui.permin,
                                   m_ui.vin,
                                   m_ui.bin,
                                   m_ui.rhoin,
                                   m_ui.rein,
                                   m_ui.rwin,
                                   m_ui.bhpin,
                                   m_ui.topin,
                                   m_ui.hin,
                                   m_ui.din})
        inputs.append(field->text());
    inputs.append(m_ui.syspk->currentText());
    for (const QRadioButton *option : {m_ui.Option1, m_ui.Option2})
        inputs.append(option->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    return inputs;
}

void Form1::a2_Click()
{
    close();
    QApplication::quit();
}

void Form1::Toolbar1_ButtonClick(QAction *button)
{
    const QString key = button->data().toString();
    if (key == QLatin1String("Print"))
        a1_Click();
    else if (key == QLatin1String("Exit"))
        a2_Click();
}

void Form1::Picture2_MouseMove(int button, int shift, float x, float y)
{
    chartPointerMoved(*m_ui.Picture2, m_lastRun ? &*m_lastRun : nullptr, button, shift, x, y);
}

void Form1::permin_Change(const QString &text)
{
    coning::permin_Change(m_module1, text.toStdString());
}

void Form1::vin_Change(const QString &text)
{
    coning::vin_Change(m_module1, text.toStdString());
}

void Form1::bin_Change(const QString &text)
{
    coning::bin_Change(m_module1, text.toStdString());
}

void Form1::rhoin_Change(const QString &text)
{
    coning::rhoin_Change(m_module1, text.toStdString());
}

void Form1::rein_Change(const QString &text)
{
    coning::rein_Change(m_module1, text.toStdString());
}

void Form1::rwin_Change(const QString &text)
{
    coning::rwin_Change(m_module1, text.toStdString());
}

void Form1::bhpin_Change(const QString &text)
{
    coning::bhpin_Change(m_module1, text.toStdString());
}

void Form1::topin_Change(const QString &text)
{
    coning::topin_Change(m_module1, text.toStdString());
}

void Form1::hin_Change(const QString &text)
{
    coning::hin_Change(m_module1, text.toStdString());
}

void Form1::din_Change(const QString &text)
{
    coning::din_Change(m_module1, text.toStdString());
}

} // namespace coning
