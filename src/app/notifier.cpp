#include "notifier.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace coning {

BoxText boxText(const QString &text)
{
    // Five lines of up to 300 characters wrap to some twenty lines at the box's width: short of
    // any screen the window fits on.
    constexpr qsizetype shownLines = 5;
    constexpr qsizetype lineLength = 300;
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool cut = lines.size() > shownLines;
    QStringList summary;
    for (const QString &line : lines.mid(0, shownLines)) {
        cut = cut || line.size() > lineLength;
        summary.append(line.size() > lineLength ? line.left(lineLength - 1) + QChar(0x2026) : line);
    }
    if (!cut)
        return {text, {}};
    if (lines.size() > shownLines)
        summary.append(QStringLiteral("... and %1 more; \"Show Details...\" lists them all.")
                           .arg(lines.size() - shownLines));
    return {summary.join(QLatin1Char('\n')), text};
}

MessageBoxNotifier::MessageBoxNotifier(QWidget *parent)
    : m_parent(parent)
{}

void MessageBoxNotifier::warn(const QString &title,
                              const QString &text,
                              std::function<void()> dismissed)
{
    const BoxText shown = boxText(text);
    auto *box = new QMessageBox(QMessageBox::Warning, title, shown.text, QMessageBox::Ok, m_parent);
    box->setDetailedText(shown.details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (dismissed)
        QObject::connect(box, &QMessageBox::finished, box, [dismissed](int) { dismissed(); });
    box->open();
}

void MessageBoxNotifier::ask(const QString &title,
                             const QString &question,
                             const QString &confirm,
                             std::function<void()> confirmed)
{
    auto *box = new QMessageBox(QMessageBox::Question,
                                title,
                                question,
                                QMessageBox::NoButton,
                                m_parent);
    QPushButton *go = box->addButton(confirm, QMessageBox::AcceptRole);
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, go, confirmed](int) {
        if (box->clickedButton() == go && confirmed)
            confirmed();
    });
    box->open();
}

} // namespace coning
