#include "measure/SizeDisplay.h"

#include "measure/SizeLines.h"
#include "ui/TextBox.h"
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

void SizeDisplay::fill(Ui::ZEMRA_MAIN &form, std::uint64_t bytes, const NumberLocale &locale)
{
    const QStringList lines = SizeLines::lines(bytes, locale);
    const auto boxes = sizeBoxes(form);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(lines[qsizetype(i)]);

    QStringList shown;
    for (QLineEdit *box : boxes)
        shown.append(box->text());
    TextBox::setText(*form.OUTPUT_WINDOW_TEXTBOX, SizeLines::block(shown));
}

void SizeDisplay::clear(Ui::ZEMRA_MAIN &form)
{
    for (QLineEdit *box : sizeBoxes(form))
        box->clear();
    TextBox::setText(*form.OUTPUT_WINDOW_TEXTBOX, QString());
}
