#pragma once

#include <cstdint>

class NumberLocale;
namespace Ui {
class ZEMRA_MAIN;
}

// The main window's size display: the six hidden size boxes (bytes to petabytes) and the
// visible block built from them.
class SizeDisplay
{
public:
    // Writes the six size lines for a byte count into their boxes, bytes first, then the
    // block read back from those boxes into OUTPUT_WINDOW_TEXTBOX.
    static void fill(Ui::ZEMRA_MAIN &form, std::uint64_t bytes, const NumberLocale &locale);

    // Empties the six boxes and the block, so that no earlier figures stand beside a failure.
    static void clear(Ui::ZEMRA_MAIN &form);
};
