#include "ui/WindowStyle.h"

#include <QFont>
#include <QIcon>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

void WindowStyle::apply(QWidget &window)
{
    QFont font(u"MS Sans Serif"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    window.setFont(font);

    QIcon icon;
    icon.addFile(u":/icons/zemra-16.png"_s, QSize(16, 16));
    icon.addFile(u":/icons/zemra-24.png"_s, QSize(24, 24));
    icon.addFile(u":/icons/zemra.svg"_s);
    window.setWindowIcon(icon);

    // The status label is a display label with the bold window font instead of Arial.
    window.setStyleSheet(uR"(QLabel[displayLabel="true"] {
    color: rgb(0, 255, 0);
    background-color: rgb(0, 0, 0);
    border: 1px solid rgb(128, 128, 128);
    font: bold 9.75pt "Arial";
}
QLabel#CURRENT_STATUS_LABEL {
    font: bold 8.25pt "MS Sans Serif";
})"_s);
}
