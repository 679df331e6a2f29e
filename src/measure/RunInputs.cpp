#include "measure/RunInputs.h"

#include "ui/TickBox.h"
#include "ui_MainWindow.h"

RunInputs RunInputs::fromForm(const Ui::ZEMRA_MAIN &form)
{
    return {form.FF_LOCATION_TEXTBOX->text(), TickBox::isTicked(*form.USE_FILE_TICKBOX),
            TickBox::isTicked(*form.USE_FOLDER_TICKBOX), form.LOGFILE_TEXTBOX->text()};
}
