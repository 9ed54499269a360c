#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace coning {

// How the window tells the user that something failed. A warning never blocks: the window keeps
// handling events while it is on screen, and tests put a recorder in its place.
class Notifier
{
public:
    virtual ~Notifier() = default;
    // Shows the warning and returns at once; `dismissed` runs when the user has closed it.
    virtual void warn(const QString &title,
                      const QString &text,
                      std::function<void()> dismissed = {})
        = 0;
    // Asks whether to go on, offering `confirm` and Cancel, and returns at once; `confirmed` runs
    // only when the user chose `confirm`.
    virtual void ask(const QString &title,
                     const QString &question,
                     const QString &confirm,
                     std::function<void()> confirmed)
        = 0;
};

// What a message box shows of a text: all of it when it is short; otherwise its first lines,
// each cut to a readable length, with the whole text as the box's details.
struct BoxText
{
    QString text;
    QString details; // empty when `text` is the whole
};
BoxText boxText(const QString &text);

// A window-modal message box, opened without a nested event loop; never taller than the screen.
class MessageBoxNotifier final : public Notifier
{
public:
    explicit MessageBoxNotifier(QWidget *parent);
    void warn(const QString &title, const QString &text, std::function<void()> dismissed) override;
    void ask(const QString &title,
             const QString &question,
             const QString &confirm,
             std::function<void()> confirmed) override;

private:
    QWidget *m_parent;
};

} // namespace coning
