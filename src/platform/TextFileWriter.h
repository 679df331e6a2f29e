#pragma once

#include "platform/WriteResult.h"

#include <QString>

// Platform service that replaces a text file's whole content. The text is written exactly
// as given: the caller supplies the CR LF line ends; nothing is appended and no byte-order
// mark is written. Failures are reported in the result, never thrown.
class TextFileWriter
{
public:
    virtual ~TextFileWriter() = default;

    [[nodiscard]] virtual WriteResult write(const QString &path, const QString &text) = 0;
};
