#pragma once

#include "app/form1.h"
#include "app/notifier.h"
#include "app/picture_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <vector>

namespace coning::apptest {

struct Warning
{
    QString title;
    QString text;
};

// Keeps every warning (its messages one per line) and question; the user dismisses each warning
// at once and answers each question with the choice labelled `answer` (Cancel when none is).
class RecordingNotifier final : public Notifier
{
public:
    RecordingNotifier(std::vector<Warning> &log, std::vector<Warning> &questions, QString &answer)
        : m_log(log)
        , m_questions(questions)
        , m_answer(answer)
    {}
    void warn(const QString &title,
              const QStringList &messages,
              std::function<void()> dismissed) override
    {
        m_log.push_back({title, messages.join(QLatin1Char('\n'))});
        if (dismissed)
            dismissed();
    }
    void withdraw(const QString &) override {}
    void ask(const QString &title, const QString &question, std::vector<Choice> choices) override
    {
        m_questions.push_back({title, question});
        for (const Choice &choice : choices) {
            if (choice.label == m_answer && choice.chosen)
                choice.chosen();
        }
    }

private:
    std::vector<Warning> &m_log;
    std::vector<Warning> &m_questions;
    QString &m_answer;
};

// The window on screen, as the user meets it, with its warnings recorded.
struct FormFixture
{
    Form1 form;
    std::vector<Warning> warnings;
    std::vector<Warning> questions;
    QString answer = QStringLiteral("Print Anyway"); // to every question

    FormFixture()
    {
        form.setNotifier(std::make_unique<RecordingNotifier>(warnings, questions, answer));
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("the window did not appear");
    }

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        T *widget = form.findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QLineEdit *field(const char *name) const { return control<QLineEdit>(name); }
    PictureBox *picture(const char *name) const { return control<PictureBox>(name); }
    QComboBox *syspk() const { return control<QComboBox>("syspk"); }

    // Replaces the field's text keystroke by keystroke.
    void type(const char *name, const QString &text) const
    {
        QLineEdit *edit = field(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }

    // Chooses an item from the open list, as the user does with the keyboard.
    void chooseFluidSystem(const QString &system) const
    {
        QComboBox *combo = syspk();
        const int index = combo->findText(system);
        QVERIFY2(index >= 0, qPrintable(system));
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        list->setCurrentIndex(list->model()->index(index, 0));
        QTest::keyClick(list, Qt::Key_Return);
    }

    void click(const char *name) const { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Δρ 0.3, k 100, h 50, μ 1, B 1.2, re 1000, rw 3 in, D 15 ft, "Oil-Water".
    void enterSampleWell() const
    {
        const std::pair<const char *, const char *> values[] = {
            {"rhoin", "0.3"},
            {"permin", "100"},
            {"hin", "50"},
            {"vin", "1"},
            {"bin", "1.2"},
            {"rein", "1000"},
            {"rwin", "3"},
            {"din", "15"},
        };
        for (const auto &[name, text] : values)
            type(name, QString::fromLatin1(text));
        chooseFluidSystem(QStringLiteral("Oil-Water"));
    }
};

// How many pixels of the image have exactly this colour.
inline int countPixels(const QImage &image, QColor colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = colour.rgb();
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            count += (line[x] | 0xff000000u) == (wanted | 0xff000000u) ? 1 : 0;
    }
    return count;
}

// Pixels within `tolerance` of the colour in every channel: the cores of antialiased text.
inline int countPixelsNear(const QImage &image, QColor colour, int tolerance = 32)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QColor c = rgb.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance
                             && std::abs(c.green() - colour.green()) <= tolerance
                             && std::abs(c.blue() - colour.blue()) <= tolerance
                         ? 1
                         : 0;
        }
    }
    return count;
}

// Pixels whose colour is clearly not a grey (text or drawing in a colour).
inline int countColouredPixels(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QColor c = rgb.pixelColor(x, y);
            const int spread = std::max({c.red(), c.green(), c.blue()})
                               - std::min({c.red(), c.green(), c.blue()});
            count += spread > 40 ? 1 : 0;
        }
    }
    return count;
}

// Pixels of dark text: black ink, antialiased.
inline int countDarkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::max({c.red(), c.green(), c.blue()}) < 96 ? 1 : 0;
        }
    }
    return count;
}

} // namespace coning::apptest
