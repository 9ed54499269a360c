#pragma once

#include "calc/calculation_run.h"
#include "model/parameter_set.h"
#include "report/report_surfaces.h"
#include "window_printer.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolBar;

namespace coning {

class Notifier;
class PictureBox;
class WrappingButton;

// The window's controls under their form names, as a form designer would generate them.
struct Form1Controls
{
    QWidget *client = nullptr; // the client area below the menu bar
    QToolBar *Toolbar1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QLineEdit *Text1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    QComboBox *syspk = nullptr;
    QLineEdit *rwin = nullptr;
    QLineEdit *rein = nullptr;
    QLineEdit *hin = nullptr;
    QLineEdit *din = nullptr;
    QLineEdit *topin = nullptr;
    QLineEdit *bin = nullptr;
    QLineEdit *vin = nullptr;
    QLineEdit *rhoin = nullptr;
    QLineEdit *permin = nullptr;
    QLineEdit *bhpin = nullptr;
    PictureBox *Picture1 = nullptr;
    PictureBox *Picture2 = nullptr;
    PictureBox *bar = nullptr;
    WrappingButton *zorv = nullptr;
    QAction *a1 = nullptr;
    QAction *a2 = nullptr;
    QAction *a3 = nullptr;
    QAction *a4 = nullptr;
};

// The program's one window: the input fields of the parameter set, the fluid-system and
// completion-type choices, the calculate button, the three result surfaces, the menu and the
// toolbar. Controls carry their form names as object names. The window is also where a run reads
// the two choices from.
class Form1 : public QMainWindow, public RunChoices
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Tests replace how the window warns the user and which printer "&Print" uses.
    void setNotifier(std::unique_ptr<Notifier> notifier);
    void setPrinterSource(PrinterSource printers);

    const ParameterSet &parameters() const { return m_module1; }
    // The last run's results (rates, unit, failures); empty before the first run.
    const std::optional<RunResult> &lastRun() const { return m_lastRun; }
    // The client area: everything below the menu bar, which is what gets printed.
    QWidget *clientArea() const { return m_ui.client; }

    // Where the form's fields and choices are, in global coordinates: a message box stays clear.
    QRect fieldsArea() const;

    std::string fluidSystemText() const override;
    bool partialPenetrationSelected() const override;
    bool partialCompletionSelected() const override;

    // Event handlers.
    void Form_Load();
    void syspk_Click();
    void Option1_Click();
    void Option2_Click();
    void zorv_Click();
    void a1_Click();
    void a2_Click();
    void Toolbar1_ButtonClick(QAction *button);
    void Picture2_MouseMove(int button, int shift, float x, float y);

    void permin_Change(const QString &text);
    void vin_Change(const QString &text);
    void bin_Change(const QString &text);
    void rhoin_Change(const QString &text);
    void rein_Change(const QString &text);
    void rwin_Change(const QString &text);
    void bhpin_Change(const QString &text);
    void topin_Change(const QString &text);
    void hin_Change(const QString &text);
    void din_Change(const QString &text);

private:
    void createControls();
    void createMenu();
    void createToolbar();
    void setKeyboardOrder();
    void connectEvents();
    ReportSurfaces surfaces();
    // The input fields beside their labels, in keyboard order.
    std::vector<std::pair<QLabel *, QLineEdit *>> fieldRows() const;
    // Sets a field label's caption; the field's accessible name follows it.
    void setCaption(QLabel *label, const QString &caption);
    // A warning for each shown field whose text is not wholly the number read from it.
    std::vector<std::string> fieldsNotReadAsTyped() const;
    // Every input text and choice a run reads, to tell whether the shown rates still belong to
    // what the window shows.
    QStringList runInputs() const;
    // Prints the window; `stale` when its fields have changed since the rates were calculated.
    void printWindow(bool stale);
    // Whether the shown results belong to other inputs than the window shows now.
    bool resultsStale() const;
    // Marks the result surfaces as results of earlier inputs, or clears the mark, and gives them
    // their words for assistive technology.
    void markResults();

    ParameterSet m_module1;
    std::optional<RunResult> m_lastRun;
    QStringList m_inputsOfLastRun;
    std::unique_ptr<Notifier> m_notifier;
    PrinterSource m_printers;

    Form1Controls m_ui;
};

} // namespace coning
