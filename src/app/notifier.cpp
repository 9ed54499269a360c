#include "notifier.h"

#include <QMessageBox>

namespace coning {

MessageBoxNotifier::MessageBoxNotifier(QWidget *parent)
    : m_parent(parent)
{}

void MessageBoxNotifier::warn(const QString &title,
                              const QString &text,
                              std::function<void()> dismissed)
{
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (dismissed)
        QObject::connect(box, &QMessageBox::finished, box, [dismissed](int) { dismissed(); });
    box->open();
}

} // namespace coning
