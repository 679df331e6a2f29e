#pragma once

#include <QString>

// The texts a run log is composed from, each as read at the moment of composition.
struct RunLogPieces
{
    QString splitter;       // no line end
    QString banner;         // ends with its own CR LF
    QString footer;         // ends with its own CR LF
    QString executableName; // file name of the running executable, without extension
    QString targetLabel;    // "FILE = " or "FOLDER = "
    QString targetPath;     // as typed, blanks kept
    QString sizeBlock;      // six lines joined by CR LF, no line end after the last
};
