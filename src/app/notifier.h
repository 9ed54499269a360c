#pragma once

#include <QHash>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <functional>
#include <vector>

class QMessageBox;
class QWidget;

namespace coning {

// How the window tells the user what happened and asks before going on. Nothing here blocks:
// each call returns at once, and tests put a recorder in its place.
class Notifier
{
public:
    virtual ~Notifier() = default;
    // Shows the messages, each whole, and leaves the window usable meanwhile, so that the fields
    // they name can be corrected. A later warning with the same title takes its place.
    // `dismissed` runs when the user has closed it.
    virtual void warn(const QString &title,
                      const QStringList &messages,
                      std::function<void()> dismissed = {})
        = 0;
    // Closes the warning with this title, if one is open: its messages no longer hold.
    virtual void withdraw(const QString &title) = 0;

    struct Choice
    {
        QString label;
        std::function<void()> chosen;
    };
    // Asks whether to go on, offering the choices and Cancel; only the chosen one runs.
    virtual void ask(const QString &title, const QString &question, std::vector<Choice> choices) = 0;
};

// Where a box of `box` size goes on `screen`: beside `window` (right, then left), else below or
// above it, moved inside the screen; the first of these that covers nothing of `keepClear`, or
// else the one that covers least of it.
QPoint placeBeside(const QRect &window, const QRect &keepClear, QSize box, const QRect &screen);

// Message boxes on the window: a warning is non-modal and stands beside the window, clear of the
// area `keepClear` gives (the form's fields, in global coordinates); a question is window-modal.
// Neither opens a nested event loop, and neither is taller than the screen.
class MessageBoxNotifier final : public Notifier
{
public:
    MessageBoxNotifier(QWidget *parent, std::function<QRect()> keepClear);
    void warn(const QString &title,
              const QStringList &messages,
              std::function<void()> dismissed) override;
    void withdraw(const QString &title) override;
    void ask(const QString &title, const QString &question, std::vector<Choice> choices) override;

private:
    QWidget *m_parent;
    std::function<QRect()> m_keepClear;
    QHash<QString, QPointer<QMessageBox>> m_open;
};

} // namespace coning
