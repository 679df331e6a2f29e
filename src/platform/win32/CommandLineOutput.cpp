#include "platform/CommandLineOutput.h"

#include <windows.h>

#include <cstdio>

namespace {

// A handle the process was given for the stream: a file, a pipe or a console.
bool leadsSomewhere(DWORD standardHandle)
{
    const HANDLE handle = GetStdHandle(standardHandle);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool attachedToParentConsole()
{
    static const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    return attached;
}

// The C stream for stream, ready for writing, or nullptr. A stream that leads nowhere is
// reopened on the console of the program that started this one, once.
std::FILE *openStream(CommandLineOutput::Stream stream)
{
    const bool output = stream == CommandLineOutput::Stream::Output;
    std::FILE *file = output ? stdout : stderr;
    static bool reopened[2] = {false, false};
    bool &done = reopened[output ? 0 : 1];
    if (done || leadsSomewhere(output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE))
        return file;
    if (!attachedToParentConsole() || !std::freopen("CONOUT$", "w", file))
        return nullptr;
    done = true;
    return file;
}

} // namespace

bool CommandLineOutput::print(Stream stream, const QString &text)
{
    std::FILE *file = openStream(stream);
    if (!file)
        return false;
    const bool written = std::fputs(qPrintable(text), file) >= 0;
    return std::fflush(file) == 0 && written;
}

void CommandLineOutput::printOrShow(Stream stream, const QString &text, const QString &title)
{
    if (print(stream, text))
        return;
    // Started from Explorer, a shortcut or the Start menu: no one would ever see the text.
    const UINT icon = stream == Stream::Error ? MB_ICONERROR : MB_ICONINFORMATION;
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()),
                reinterpret_cast<const wchar_t *>(title.utf16()), MB_OK | icon);
}
