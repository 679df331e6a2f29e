#include "measure/FormLogPieces.h"

#include "ui/TextBox.h"
#include "ui_MainWindow.h"

RunLogPieces formLogPieces(const Ui::ZEMRA_MAIN &form, const QString &executableName)
{
    RunLogPieces pieces;
    pieces.splitter = form.SPLITTER_LINE_TEXTBOX->text();
    pieces.banner = form.LOG_TOP_MESSAGE_TEXTBOX->text();
    pieces.footer = form.LOG_BOTTOM_MESSAGE_TEXTBOX->text();
    pieces.executableName = executableName;
    return pieces;
}
