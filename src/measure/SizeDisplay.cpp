#include "measure/SizeDisplay.h"

#include "measure/SizeLines.h"
#include "ui_MainWindow.h"

#include <array>

namespace {

std::array<QLineEdit *, 6> sizeBoxes(Ui::ZEMRA_MAIN &form)
{
    return {form.FILE_SIZE_BYTES_TEXTBOX,     form.FILE_SIZE_KILOBYTES_TEXTBOX,
            form.FILE_SIZE_MEGABYTES_TEXTBOX, form.FILE_SIZE_GIGABYTES_TEXTBOX,
            form.FILE_SIZE_TERABYTES_TEXTBOX, form.FILE_SIZE_PETABYTES_TEXTBOX};
}

} // namespace

void SizeDisplay::show(Ui::ZEMRA_MAIN &form, const QStringList &lines)
{
    const auto boxes = sizeBoxes(form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(lines.value(qsizetype(i)));
    QStringList shown;
    for (QLineEdit *box : boxes)
        shown.append(box->text());
    form.OUTPUT_WINDOW_TEXTBOX->setText(SizeLines::block(shown));
}

void SizeDisplay::clear(Ui::ZEMRA_MAIN &form)
{
    for (QLineEdit *box : sizeBoxes(form))
        box->clear();
    form.OUTPUT_WINDOW_TEXTBOX->setText(QString());
}
