#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The settings file's text: finding an entry and changing one entry. Pure functions over the
// file's bytes.
//
// Reading follows what a person editing the file expects: a UTF-8 byte order mark, CR LF or
// LF line ends, blank lines, comment lines starting with "#" or ";", spaces around "=", lines
// that are not entries, unknown keys and other sections are all accepted and ignored. A value
// is the rest of its line after "=", without the blanks around it, taken verbatim (commas,
// quotes, "#", ";" and "@" included), with one exception: text in the exact form the program
// writes (see encodeValue) reads as the value it was written for. So "C:\data" and "a, b"
// read as typed, while "\"a, b\"" or "C:\\new" read as the program meant them. When a key
// occurs more than once in a section, or a section more than once, the last entry counts.
//
// Writing changes the bytes of one entry's value and nothing else: every other line, comment,
// line end and byte order mark stays where and as it was.
namespace IniText {

// The value of key in section, or nullopt when the file holds no such entry.
[[nodiscard]] std::optional<QString> value(const QByteArray &file, const QString &section,
                                           const QString &key);

// Every entry of section, key to value, as value() reads each one.
[[nodiscard]] QHash<QString, QString> section(const QByteArray &file, const QString &section);

// The file with the entry set to value. An entry present is changed in place (its last
// occurrence); an absent one is added after the last entry of the section's last block,
// or in a new section at the end. Returns the file unchanged when the entry already reads
// as value. New lines use the file's own line break.
[[nodiscard]] QByteArray withValue(const QByteArray &file, const QString &section,
                                   const QString &key, const QString &value);

// The program's written form of a value, which reads back exactly: a leading "@" is
// doubled, backslash, double quote and control characters are escaped with a backslash,
// and the whole is put in double quotes when it holds ",", ";" or "=" or starts or ends
// with a space. Other characters are written as UTF-8. The same form as the INI files
// written by earlier versions of the program, so their values read back unchanged.
[[nodiscard]] QByteArray encodeValue(const QString &value);

// What the text of a value (without surrounding blanks) reads as: the value it is the
// written form of, or else the text itself.
[[nodiscard]] QString decodeValue(const QByteArray &text);

// A section or key name as written in the file: letters, digits, "-", "_" and "." as they
// are, other characters as %XX or %UXXXX. The section "General" is written "%General".
[[nodiscard]] QByteArray encodeName(const QString &name);
// The name a section header or key stands for: %XX and %UXXXX decoded, "\" as "/".
[[nodiscard]] QString decodeName(const QByteArray &text);

} // namespace IniText
