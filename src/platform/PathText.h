#pragma once

#include <QString>

#include <filesystem>
#include <optional>

// A path typed as text, turned into the platform's file name. Pure.
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

// text with each NUL shown as "<NUL>" and each unpaired surrogate as "<U+D800>" (its
// code in hex), for naming such a path in a message or a log; any other text unchanged.
[[nodiscard]] QString printable(const QString &text);

} // namespace PathText
