#pragma once

#include <QAccessibleWidget>

class MainWindow;

// What assistive technologies are told of the main window: a window of its own (a frame, to
// AT-SPI) rather than the anonymous client area (a filler) Qt reports for a top-level widget
// that is neither a QMainWindow nor a QDialog. Everything else is QAccessibleWidget's.
class MainWindowAccessible final : public QAccessibleWidget
{
public:
    explicit MainWindowAccessible(MainWindow &window);

    // Makes Qt create this interface for every MainWindow. Safe to call more than once.
    static void install();
};
