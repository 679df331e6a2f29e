#include "ui/AboutWindow.h"

#include "ui/ProgramVersion.h"

#include <QEvent>

using namespace Qt::Literals::StringLiterals;

AboutWindow::AboutWindow(SettingsStore &store, QWidget *owner)
    : SecondaryWindow(
          store, {Setting::AboutLeft, Setting::AboutTop, Setting::AboutWidth, Setting::AboutHeight},
          Qt::Dialog, owner)
{}

QString AboutWindow::authorAddress()
{
    return u"vorrel42@quenlow.example"_s;
}

void AboutWindow::buildForm()
{
    m_form.setupUi(this);
    // The form's caption is a placeholder; the version comes from the build.
    m_form.ZEMRA_VERSION->setText(ProgramVersion::aboutText());
    connect(m_form.OK_BUTTON, &QPushButton::clicked, this, &AboutWindow::acceptOk);
    // A label has no double-click signal; its events pass through here first.
    m_form.ZEMRA_CREATOR->installEventFilter(this);
    m_form.OK_BUTTON->setFocus();
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.ZEMRA_CREATOR && event->type() == QEvent::MouseButtonDblClick)
        m_form.ZEMRA_CREATOR->setText(authorAddress());
    return SecondaryWindow::eventFilter(watched, event);
}
