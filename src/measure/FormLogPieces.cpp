#include "measure/FormLogPieces.h"

#include "ui/TextBox.h"
#include "ui_MainWindow.h"

RunLogPieces formLogPieces(const Ui::ZEMRA_MAIN &form, const QString &executableName)
{
    RunLogPieces pieces;
    pieces.splitter = form.SPLITTER_LINE_TEXTBOX->text();
    pieces.banner = TextBox::text(*form.LOG_TOP_MESSAGE_TEXTBOX);
    pieces.footer = TextBox::text(*form.LOG_BOTTOM_MESSAGE_TEXTBOX);
    pieces.executableName = executableName;
    return pieces;
}
