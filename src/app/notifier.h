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
};

// A window-modal message box, opened without a nested event loop.
class MessageBoxNotifier final : public Notifier
{
public:
    explicit MessageBoxNotifier(QWidget *parent);
    void warn(const QString &title, const QString &text, std::function<void()> dismissed) override;

private:
    QWidget *m_parent;
};

} // namespace coning
