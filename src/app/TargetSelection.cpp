#include "app/TargetSelection.h"

#include "ui/TickBox.h"
#include "ui_MainWindow.h"

namespace {

void interlock(QCheckBox &changed, QCheckBox &other, QPushButton &runNow)
{
    const bool ticked = TickBox::isTicked(changed);
    other.setEnabled(!ticked);
    runNow.setEnabled(ticked);
}

} // namespace

void TargetSelection::attach(Ui::ZEMRA_MAIN &form)
{
    QObject::connect(
        form.USE_FILE_TICKBOX, &QCheckBox::stateChanged, form.USE_FILE_TICKBOX, [&form] {
            interlock(*form.USE_FILE_TICKBOX, *form.USE_FOLDER_TICKBOX, *form.RUN_NOW_BUTTON);
        });
    QObject::connect(
        form.USE_FOLDER_TICKBOX, &QCheckBox::stateChanged, form.USE_FOLDER_TICKBOX, [&form] {
            interlock(*form.USE_FOLDER_TICKBOX, *form.USE_FILE_TICKBOX, *form.RUN_NOW_BUTTON);
        });
    // The sample paths replace the text even while the box is read-only: the lock stops the
    // user's typing, not the program.
    QObject::connect(form.TEST_FILENAME_BUTTON, &QPushButton::clicked, form.FF_LOCATION_TEXTBOX,
                     [&form] { form.FF_LOCATION_TEXTBOX->setText(SampleFilePath); });
    QObject::connect(form.TEST_FOLDERNAME_BUTTON, &QPushButton::clicked, form.FF_LOCATION_TEXTBOX,
                     [&form] { form.FF_LOCATION_TEXTBOX->setText(SampleFolderPath); });
}
