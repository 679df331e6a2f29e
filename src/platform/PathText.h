#pragma once

#include <QString>

#include <filesystem>
#include <optional>

// A path typed as text, turned into the platform's file name. Pure.
//
// Where file names are bytes (Linux), a name from the command line may hold bytes that are
// not UTF-8. fromNativeBytes() keeps each such byte as a lone surrogate U+DC80..U+DCFF (one
// per byte, as Python's surrogateescape does), which toPath() turns back into the same byte
// and printable() shows as U+FFFD, as a window shows such bytes.
//
// Two kinds of text can name no file at all and are refused instead of being cut or
// mangled on the way to the system: text holding a NUL character (the system would end the
// name there and reach another file) and text holding a UTF-16 surrogate without its partner
// (no character at all; it has no encoding in a file name). Everything else, blanks, tabs,
// no-break spaces, line separators and characters beyond the Basic Multilingual Plane
// included, is converted as it is.
namespace PathText {

// The file name for text, or nullopt when text cannot name a file; then *problem (when
// given) says why, as a phrase such as "it contains a NUL character". Never throws.
[[nodiscard]] std::optional<std::filesystem::path> toPath(const QString &text,
                                                          QString *problem = nullptr);

// text with each NUL shown as "<NUL>", each kept byte as U+FFFD and each other unpaired
// surrogate as "<U+D800>" (its code in hex), for naming such a path in a message or a log;
// any other text unchanged.
[[nodiscard]] QString printable(const QString &text);

// A file name as the system gives it (a command-line argument) as text that toPath() turns
// back into the same name: UTF-8, with every byte that is not part of a valid UTF-8 sequence
// kept as U+DC80 + (byte - 0x80). Where file names are not bytes (Windows), the system's
// 8-bit encoding.
[[nodiscard]] QString fromNativeBytes(const QByteArray &bytes);

// Whether text holds bytes kept by fromNativeBytes(): such a name can be measured, but
// only code that passes names as bytes can reach it (Qt's file classes cannot).
[[nodiscard]] bool holdsKeptBytes(const QString &text);

} // namespace PathText
