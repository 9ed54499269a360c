#include "app_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QWheelEvent>

#include <map>

using namespace coning;
using namespace coning::apptest;

namespace {

const std::map<QString, double ParameterSet::*> valueOfField = {
    {"permin", &ParameterSet::permeability},
    {"vin", &ParameterSet::viscosity},
    {"bin", &ParameterSet::formationVolumeFactor},
    {"rhoin", &ParameterSet::densityDifference},
    {"rein", &ParameterSet::drainageRadius},
    {"rwin", &ParameterSet::wellRadius},
    {"bhpin", &ParameterSet::bottomHolePressure},
    {"topin", &ParameterSet::completionTop},
    {"hin", &ParameterSet::zoneThicknessInput},
    {"din", &ParameterSet::penetrationInput},
};

const QString oilFvf = QStringLiteral("  Oil FVF      RVB/STB");
const QString oilViscosity = QStringLiteral("Oil Viscosity             cp.");
const QString gasFvf = QStringLiteral("  Gas FVF     RVB/MCF");
const QString gasViscosity = QStringLiteral("Gas Viscosity            cp.");
const QString startFvf = QStringLiteral("Oil fvf    RVB/STB");
const QString startViscosity = QStringLiteral("Oil Viscosity   cp.");

} // namespace

// Typing into the fields and choosing the fluid system and completion type.
class FormInputTest : public QObject
{
    Q_OBJECT

private slots:
    void everyKeystrokeStoresItsValue_data();
    void everyKeystrokeStoresItsValue();
    void deletionsAndProgramChangesStoreToo();
    void choicesShowAndHideRows_data();
    void choicesShowAndHideRows();
    void typingIntoTheComboRunsNothingAndInsertsNothing();
    void wheelOverTheClosedComboChangesNothing();
    void hiddenFieldsKeepTheirTextAndValue();
};

void FormInputTest::everyKeystrokeStoresItsValue_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<double>>("afterEachKey");

    QTest::newRow("permin 12") << "permin"
                               << "12" << QList<double>{1, 12};
    QTest::newRow("rwin inches to feet") << "rwin"
                                         << "36" << QList<double>{0.25, 3};
    QTest::newRow("comma ends the number") << "vin"
                                           << "1,5" << QList<double>{1, 1, 1};
    QTest::newRow("sign and point alone") << "hin"
                                          << "-.5" << QList<double>{0, 0, -0.5};
    QTest::newRow("exponent") << "rhoin"
                              << "1e3" << QList<double>{1, 1, 1000};
    QTest::newRow("hexadecimal") << "bin"
                                 << "&H10" << QList<double>{0, 0, 1, 16};
    QTest::newRow("unit after the number") << "din"
                                           << "3.5 ft" << QList<double>{3, 3, 3.5, 3.5, 3.5, 3.5};
    QTest::newRow("rein") << "rein"
                          << "1000" << QList<double>{1, 10, 100, 1000};
    QTest::newRow("topin") << "topin"
                           << "20" << QList<double>{2, 20};
    QTest::newRow("bhpin") << "bhpin"
                           << "7" << QList<double>{7};
}

void FormInputTest::everyKeystrokeStoresItsValue()
{
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QList<double>, afterEachKey);

    FormFixture f;
    QLineEdit *edit = f.field(qPrintable(field));
    edit->show(); // topin and bhpin start hidden; a hidden field takes keys all the same
    const double ParameterSet::*value = valueOfField.at(field);
    for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(edit, keys.at(i).toLatin1());
        QCOMPARE(f.form.parameters().*value, afterEachKey.at(i));
    }
}

void FormInputTest::deletionsAndProgramChangesStoreToo()
{
    FormFixture f;
    QLineEdit *permin = f.field("permin");
    QTest::keyClicks(permin, "12");
    QTest::keyClick(permin, Qt::Key_Backspace);
    QCOMPARE(f.form.parameters().permeability, 1.0);
    permin->setText(QStringLiteral("250"));
    QCOMPARE(f.form.parameters().permeability, 250.0);
    permin->clear();
    QCOMPARE(f.form.parameters().permeability, 0.0);
    // A field changes only its own value.
    QCOMPARE(f.form.parameters().viscosity, 0.0);
}

void FormInputTest::choicesShowAndHideRows_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<bool>("penetrationRow");
    QTest::addColumn<bool>("distanceToTopRow");
    QTest::addColumn<bool>("bottomHolePressureRow");
    QTest::addColumn<QString>("fvfCaption");
    QTest::addColumn<QString>("viscosityCaption");

    QTest::newRow("start-up") << QStringList{} << true << false << false << startFvf
                              << startViscosity;
    QTest::newRow("Oil-Water") << QStringList{"Oil-Water"} << true << false << false << oilFvf
                               << oilViscosity;
    QTest::newRow("Gas-Water") << QStringList{"Gas-Water"} << true << false << true << gasFvf
                               << gasViscosity;
    QTest::newRow("Gas-Oil") << QStringList{"Gas-Oil"} << false << true << false << oilFvf
                             << oilViscosity;
    QTest::newRow("Gas-Water then Oil-Water") << QStringList{"Gas-Water", "Oil-Water"} << true
                                              << false << false << oilFvf << oilViscosity;
    QTest::newRow("Partial Completion")
        << QStringList{"Option2"} << true << true << false << startFvf << startViscosity;
    QTest::newRow("Gas-Oil, Partial Completion")
        << QStringList{"Gas-Oil", "Option2"} << true << true << false << oilFvf << oilViscosity;
    QTest::newRow("Gas-Oil, Partial Completion, Partial Penetration")
        << QStringList{"Gas-Oil", "Option2", "Option1"} << false << true << false << oilFvf
        << oilViscosity;
    // The run reads both rows of a partial completion, so no fluid system hides either.
    QTest::newRow("Partial Completion, then Oil-Water")
        << QStringList{"Option2", "Oil-Water"} << true << true << false << oilFvf << oilViscosity;
    QTest::newRow("Partial Completion, then Gas-Oil")
        << QStringList{"Option2", "Gas-Oil"} << true << true << false << oilFvf << oilViscosity;
    QTest::newRow("Partial Completion, Partial Penetration, other text")
        << QStringList{"Option2", "Option1"} << true << false << false << startFvf
        << startViscosity;
    QTest::newRow("Gas-Water, Partial Completion keeps the pressure row")
        << QStringList{"Gas-Water", "Option2"} << true << true << true << gasFvf << gasViscosity;
}

void FormInputTest::choicesShowAndHideRows()
{
    QFETCH(QStringList, actions);
    QFETCH(bool, penetrationRow);
    QFETCH(bool, distanceToTopRow);
    QFETCH(bool, bottomHolePressureRow);
    QFETCH(QString, fvfCaption);
    QFETCH(QString, viscosityCaption);

    FormFixture f;
    for (const QString &action : actions) {
        if (action.startsWith(QLatin1String("Option")))
            QTest::mouseClick(f.control(qPrintable(action)), Qt::LeftButton, {}, QPoint(6, 8));
        else
            f.chooseFluidSystem(action);
    }
    const std::tuple<const char *, const char *, bool> rows[] = {
        {"Label7", "din", penetrationRow},
        {"Label10", "topin", distanceToTopRow},
        {"Label9", "bhpin", bottomHolePressureRow},
    };
    for (const auto &[label, field, shown] : rows) {
        QVERIFY2(f.control(label)->isVisible() == shown, label);
        QVERIFY2(f.control(field)->isVisible() == shown, field);
    }
    QCOMPARE(f.control<QLabel>("Label4")->text(), fvfCaption);
    QCOMPARE(f.control<QLabel>("Label5")->text(), viscosityCaption);
}

void FormInputTest::typingIntoTheComboRunsNothingAndInsertsNothing()
{
    for (const QString &typed : {QStringLiteral("Gas-Oil"), QStringLiteral("gas-oil")}) {
        FormFixture f;
        QApplication::setActiveWindow(&f.form);
        QVERIFY(QTest::qWaitForWindowActive(&f.form));
        QComboBox *combo = f.syspk();
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, typed);
        QTest::keyClick(combo, Qt::Key_Return);
        f.field("permin")->setFocus(); // leaving the text line finishes the edit
        QCOMPARE(combo->currentText(), typed);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentIndex(), -1);
        // syspk_Click did not run: the rows and captions are as at start-up.
        QVERIFY(f.control("din")->isVisible());
        QVERIFY(!f.control("topin")->isVisible());
        QCOMPARE(f.control<QLabel>("Label4")->text(), startFvf);

        // A click on the selected "Partial Penetration" compares the typed text, exactly.
        QTest::mouseClick(f.control("Option1"), Qt::LeftButton, {}, QPoint(6, 8));
        const bool gasOil = typed == QLatin1String("Gas-Oil");
        QCOMPARE(f.control("din")->isVisible(), !gasOil);
        QCOMPARE(f.form.fluidSystemText(), typed.toStdString());
    }
}

void FormInputTest::wheelOverTheClosedComboChangesNothing()
{
    FormFixture f;
    QComboBox *combo = f.syspk();
    for (const QString &system : {QString(), QStringLiteral("Oil-Water")}) {
        if (!system.isEmpty())
            f.chooseFluidSystem(system);
        const QString shown = combo->currentText();
        const QString viscosityCaption = f.control<QLabel>("Label5")->text();
        // Over the text line, from where the event passes on to the box, and over the arrow.
        for (QWidget *target :
             {static_cast<QWidget *>(combo->lineEdit()), static_cast<QWidget *>(combo)}) {
            for (int notch : {-120, 120, -120}) {
                const QPointF at(target->width() - 4, target->height() / 2);
                QWheelEvent wheel(at,
                                  target->mapToGlobal(at),
                                  {},
                                  {0, notch},
                                  Qt::NoButton,
                                  {},
                                  Qt::NoScrollPhase,
                                  false);
                QApplication::sendEvent(target, &wheel);
            }
        }
        QCOMPARE(combo->currentText(), shown);
        QCOMPARE(f.control<QLabel>("Label5")->text(), viscosityCaption);
    }
}

void FormInputTest::hiddenFieldsKeepTheirTextAndValue()
{
    FormFixture f;
    f.chooseFluidSystem(QStringLiteral("Gas-Water"));
    f.type("bhpin", QStringLiteral("2500"));
    f.chooseFluidSystem(QStringLiteral("Oil-Water"));
    QVERIFY(!f.control("bhpin")->isVisible());
    QCOMPARE(f.field("bhpin")->text(), QStringLiteral("2500"));
    QCOMPARE(f.form.parameters().bottomHolePressure, 2500.0);
}

QTEST_MAIN(FormInputTest)
#include "form_input_test.moc"
