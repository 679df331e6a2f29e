#include "ui/RunAnnouncer.h"

#include "ui/MainWindow.h"

#include <QAccessible>

RunAnnouncer::RunAnnouncer(MainWindow &window)
    : m_window(window), m_notify(&QAccessible::updateAccessibility)
{
    Ui::ZEMRA_MAIN &form = window.form();
    for (QPushButton *button : {form.RUN_NOW_BUTTON, form.AUTO_STARTS_STOPS_BUTTON}) {
        QObject::connect(button, &QPushButton::clicked, &window, [this, button] {
            m_starter = button;
            m_focusAfterStart = m_window.focusWidget();
        });
    }
}

void RunAnnouncer::runEnded(const QString &description)
{
    QLabel *status = m_window.form().CURRENT_STATUS_LABEL;
    status->setAccessibleDescription(description);
    QAccessibleEvent nameChanged(status, QAccessible::NameChanged);
    m_notify(&nameChanged);
    QAccessibleEvent descriptionChanged(status, QAccessible::DescriptionChanged);
    m_notify(&descriptionChanged);

    if (m_starter && m_starter->isEnabled() && m_starter->isVisible()) {
        QWidget *focused = m_window.focusWidget();
        if (!focused || focused == m_focusAfterStart)
            m_starter->setFocus(Qt::OtherFocusReason);
    }
    m_starter = nullptr;
    m_focusAfterStart = nullptr;
}
