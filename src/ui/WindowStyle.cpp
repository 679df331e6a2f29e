#include "ui/WindowStyle.h"

#include <QFont>
#include <QIcon>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

// The icons are compiled into the static core library, where nothing else refers to them, so
// the linker would leave them out of the executable; registering them here keeps them.
// Q_INIT_RESOURCE must be used outside any namespace.
static void registerIconResources()
{
    Q_INIT_RESOURCE(zemra);
}

void WindowStyle::apply(QWidget &window)
{
    static const bool iconsRegistered = (registerIconResources(), true);
    Q_UNUSED(iconsRegistered);

    // The layout is designed for the narrow metrics of these faces. Where they are missing,
    // prefer metric-compatible faces over the platform's default sans, which is wider and
    // would cut off captions.
    QFont::insertSubstitutions(u"MS Sans Serif"_s,
                               {u"Microsoft Sans Serif"_s, u"Liberation Sans"_s, u"Arial"_s});
    QFont::insertSubstitutions(u"Arial"_s, {u"Liberation Sans"_s});

    QFont font(u"MS Sans Serif"_s);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    window.setFont(font);

    QIcon icon;
    icon.addFile(u":/icons/zemra-16.png"_s, QSize(16, 16));
    icon.addFile(u":/icons/zemra-24.png"_s, QSize(24, 24));
    icon.addFile(u":/icons/zemra.svg"_s);
    window.setWindowIcon(icon);

    // Tickboxes are laid out for a 13-pixel box close to its caption.
    // The status label is a display label with the bold window font instead of Arial.
    window.setStyleSheet(uR"(QLabel[displayLabel="true"] {
    color: rgb(0, 255, 0);
    background-color: rgb(0, 0, 0);
    border: 1px solid rgb(128, 128, 128);
    font: bold 9.75pt "Arial";
}
QLabel#CURRENT_STATUS_LABEL {
    font: bold 8.25pt "MS Sans Serif";
}
QCheckBox {
    spacing: 3px;
}
QCheckBox::indicator {
    width: 13px;
    height: 13px;
})"_s);
}

void WindowStyle::applyFontToNewControls(QWidget &window)
{
    for (QWidget *control : window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        // Display labels take their font from the style sheet.
        if (control->property("displayLabel").toBool())
            continue;
        QFont font = window.font();
        font.setBold(control->font().bold());
        control->setFont(font);
    }
}
