#pragma once

#include <QString>

// Where the answers to the command line go (--help, --version, a rejected argument, a launch
// that cannot go on): to the person or script that started the program. Usable before Qt's
// application object exists.
//
// On Linux these are standard output and standard error as they are. Windows starts a
// program built for the desktop (no console of its own) with streams that lead nowhere unless
// they were redirected: there a stream that leads nowhere is reopened on the console of the
// program that started this one (Command Prompt, PowerShell) when it has one.
namespace CommandLineOutput {

enum class Stream { Output, Error };

// Writes text to the stream and flushes it. Returns false when the stream leads nowhere
// (only on Windows: not redirected, and no console to attach to); the text is dropped.
bool print(Stream stream, const QString &text);

// For an answer someone asked for (--help, --version): print(), and when that finds no
// stream, a message box titled title (an error box for Stream::Error) that waits for OK
// before returning. Not for what a scheduled job may print: nothing would press OK.
void printOrShow(Stream stream, const QString &text, const QString &title);

} // namespace CommandLineOutput
