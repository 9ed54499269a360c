#include "notifier.h"

#include "report/message_box_text.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <string>

namespace coning {
namespace {

constexpr int gap = 8; // pixels between the window and the box

// `at` moved the least so that a rectangle of `size` there lies within `screen`.
QRect inside(QPoint at, QSize size, const QRect &screen)
{
    QRect placed(at, size);
    placed.moveLeft(
        std::max(screen.left(), std::min(placed.left(), screen.right() - size.width() + 1)));
    placed.moveTop(
        std::max(screen.top(), std::min(placed.top(), screen.bottom() - size.height() + 1)));
    return placed;
}

qint64 area(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

} // namespace

QPoint placeBeside(const QRect &window, const QRect &keepClear, QSize box, const QRect &screen)
{
    const QPoint candidates[] = {
        {window.right() + 1 + gap, window.top()},
        {window.left() - gap - box.width(), window.top()},
        {window.left(), window.bottom() + 1 + gap},
        {window.left(), window.top() - gap - box.height()},
    };
    QRect best;
    qint64 leastCovered = -1;
    for (const QPoint &at : candidates) {
        const QRect placed = inside(at, box, screen);
        const qint64 covered = area(placed.intersected(keepClear));
        if (leastCovered < 0 || covered < leastCovered) {
            best = placed;
            leastCovered = covered;
        }
        if (covered == 0)
            break;
    }
    return best.topLeft();
}

MessageBoxNotifier::MessageBoxNotifier(QWidget *parent, std::function<QRect()> keepClear)
    : m_parent(parent)
    , m_keepClear(std::move(keepClear))
{}

void MessageBoxNotifier::warn(const QString &title,
                              const QStringList &messages,
                              std::function<void()> dismissed)
{
    withdraw(title);
    std::vector<std::string> lines;
    for (const QString &message : messages)
        lines.push_back(message.toStdString());
    const MessageBoxText shown = messageBoxText(lines);

    auto *box = new QMessageBox(QMessageBox::Warning,
                                title,
                                QString::fromStdString(shown.summary),
                                QMessageBox::Ok,
                                m_parent);
    box->setTextFormat(Qt::PlainText);
    box->setDetailedText(QString::fromStdString(shown.details));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    if (dismissed)
        QObject::connect(box, &QMessageBox::finished, box, [dismissed](int) { dismissed(); });
    m_open.insert(title, box);
    box->show();

    // Beside the window, clear of the fields the messages name.
    if (m_parent) {
        const QScreen *screen = m_parent->screen();
        const QRect keepClear = m_keepClear ? m_keepClear() : QRect();
        box->move(placeBeside(m_parent->frameGeometry(),
                              keepClear,
                              box->frameGeometry().size(),
                              screen->availableGeometry()));
    }
}

void MessageBoxNotifier::withdraw(const QString &title)
{
    // Closed unanswered: what was to follow its dismissal does not happen.
    if (QPointer<QMessageBox> box = m_open.take(title)) {
        QObject::disconnect(box, &QMessageBox::finished, box, nullptr);
        box->close();
    }
}

void MessageBoxNotifier::ask(const QString &title,
                             const QString &question,
                             std::vector<Choice> choices)
{
    auto *box = new QMessageBox(QMessageBox::Question,
                                title,
                                question,
                                QMessageBox::NoButton,
                                m_parent);
    box->setTextFormat(Qt::PlainText);
    std::vector<std::pair<QPushButton *, std::function<void()>>> buttons;
    for (Choice &choice : choices)
        buttons.emplace_back(box->addButton(choice.label, QMessageBox::AcceptRole),
                             std::move(choice.chosen));
    box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, buttons](int) {
        for (const auto &[button, chosen] : buttons) {
            if (box->clickedButton() == button && chosen)
                chosen();
        }
    });
    box->open();
}

} // namespace coning
