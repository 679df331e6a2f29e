#include "platform/IniText.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The characters the written form escapes with a backslash and a letter, both ways.
struct Escape
{
    char16_t character;
    char letter;
};
constexpr Escape Escapes[] = {{u'\a', 'a'}, {u'\b', 'b'}, {u'\f', 'f'}, {u'\n', 'n'}, {u'\r', 'r'},
                              {u'\t', 't'}, {u'\v', 'v'}, {u'"', '"'},  {u'\\', '\\'}};

std::optional<char> escapeLetter(char16_t character)
{
    for (const Escape &escape : Escapes) {
        if (escape.character == character)
            return escape.letter;
    }
    return std::nullopt;
}

std::optional<char16_t> unescaped(char letter)
{
    for (const Escape &escape : Escapes) {
        if (escape.letter == letter)
            return escape.character;
    }
    return std::nullopt;
}

// "General" is the name of the part of the file before any section header, so a section
// really called General is written with a percent sign, as earlier versions did.
QByteArray sectionHeaderName(const QString &section)
{
    return section == "General"_L1 ? QByteArray("%General") : IniText::encodeName(section);
}

bool headerMatches(const QByteArray &header, const QByteArray &encoded, const QString &section)
{
    if (header == encoded)
        return true;
    // A header typed by hand may spell the name in UTF-8 rather than with %XX.
    return header != "General" && IniText::decodeName(header) == section;
}

// One line of the file, as the reader sees it.
struct Line
{
    enum class Kind { Other, Header, Entry };
    Kind kind = Kind::Other;
    // A header's name, or an entry's key as written, blanks around it excluded.
    QByteArray name;
    // An entry's value text, blanks around it excluded.
    qsizetype valueBegin = -1;
    qsizetype valueEnd = -1;
    // Where the next line starts, and whether this one ends with a line break (the last
    // line may not) and which.
    qsizetype next = 0;
    bool hasBreak = false;
    bool crlf = false;
};

// Calls visit(line) for every line of the file, in order. Blank and comment lines are
// Other; a line with "=" after a key is an Entry, wherever it stands.
template <typename Visit> void scanLines(const QByteArray &file, Visit visit)
{
    const qsizetype size = file.size();
    qsizetype pos = file.startsWith(ByteOrderMark) ? 3 : 0;
    while (pos < size) {
        Line line;
        const qsizetype newline = file.indexOf('\n', pos);
        const qsizetype lineEnd = newline < 0 ? size : newline;
        line.next = newline < 0 ? size : newline + 1;
        line.hasBreak = newline >= 0;
        qsizetype contentEnd = lineEnd;
        if (contentEnd > pos && file.at(contentEnd - 1) == '\r')
            --contentEnd;
        line.crlf = contentEnd < lineEnd;

        qsizetype begin = pos;
        while (begin < contentEnd && isBlank(file.at(begin)))
            ++begin;
        qsizetype end = contentEnd;
        while (end > begin && isBlank(file.at(end - 1)))
            --end;

        if (begin == end || file.at(begin) == '#' || file.at(begin) == ';') {
            // A blank or comment line.
        } else if (file.at(begin) == '[') {
            qsizetype close = file.indexOf(']', begin);
            if (close < 0 || close > end)
                close = end;
            line.kind = Line::Kind::Header;
            line.name = file.mid(begin + 1, close - begin - 1).trimmed();
        } else if (const qsizetype equals = file.indexOf('=', begin);
                   equals > begin && equals < end) {
            line.kind = Line::Kind::Entry;
            line.name = file.mid(begin, equals - begin).trimmed();
            qsizetype valueBegin = equals + 1;
            while (valueBegin < end && isBlank(file.at(valueBegin)))
                ++valueBegin;
            line.valueBegin = valueBegin;
            line.valueEnd = end;
        }
        visit(line);
        pos = line.next;
    }
}

// Where the entry and its section lie in the file, by byte offsets.
struct Location
{
    bool sectionFound = false;
    // Just after the last entry line (or the header) of the section's last block.
    qsizetype insertAt = -1;
    // Whether the line before insertAt ends with a line break (the last line may not).
    bool insertAtHasBreak = true;
    // The value's text of the entry's last occurrence, blanks around it excluded.
    qsizetype valueBegin = -1;
    qsizetype valueEnd = -1;
    QByteArray lineBreak = "\n";
};

Location locate(const QByteArray &file, const QString &section, const QString &key)
{
    const QByteArray encodedSection = sectionHeaderName(section);
    const QByteArray encodedKey = IniText::encodeName(key);
    Location found;
    bool lineBreakSeen = false;
    bool inSection = false;
    scanLines(file, [&](const Line &line) {
        if (line.hasBreak && !lineBreakSeen) {
            lineBreakSeen = true;
            found.lineBreak = line.crlf ? QByteArray("\r\n") : QByteArray("\n");
        }
        if (line.kind == Line::Kind::Header) {
            inSection = headerMatches(line.name, encodedSection, section);
            if (!inSection)
                return;
            found.sectionFound = true;
        } else if (line.kind == Line::Kind::Entry && inSection) {
            if (line.name == encodedKey || IniText::decodeName(line.name) == key) {
                found.valueBegin = line.valueBegin;
                found.valueEnd = line.valueEnd;
            }
        } else {
            return;
        }
        found.insertAt = line.next;
        found.insertAtHasBreak = line.hasBreak;
    });
    return found;
}

// Undoes the backslash escapes and removes the double quotes of the written form. Text that
// is not in that form may come out mangled; decodeValue() checks for that.
QString unescape(const QByteArray &text)
{
    QString out;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = text.at(i);
        if (c == '"') {
            ++i;
            continue;
        }
        if (c != '\\') {
            qsizetype run = i + 1;
            while (run < size && text.at(run) != '\\' && text.at(run) != '"')
                ++run;
            out += QString::fromUtf8(text.constData() + i, run - i);
            i = run;
            continue;
        }
        if (++i >= size)
            break;
        const char escaped = text.at(i++);
        if (const std::optional<char16_t> control = unescaped(escaped)) {
            out += QChar(*control);
            continue;
        }
        if (escaped == 'x') {
            uint code = 0;
            while (i < size && hexValue(text.at(i)) >= 0 && code <= 0xFFF)
                code = code * 16 + uint(hexValue(text.at(i++)));
            out += QChar(char16_t(code));
        } else if (escaped >= '0' && escaped <= '7') {
            uint code = uint(escaped - '0');
            while (i < size && text.at(i) >= '0' && text.at(i) <= '7' && code <= 0x1FFF)
                code = code * 8 + uint(text.at(i++) - '0');
            out += QChar(char16_t(code));
        } else {
            out += QChar::fromLatin1(escaped);
        }
    }
    return out;
}

} // namespace

std::optional<QString> IniText::value(const QByteArray &file, const QString &section,
                                      const QString &key)
{
    const Location found = locate(file, section, key);
    if (found.valueBegin < 0)
        return std::nullopt;
    return decodeValue(file.mid(found.valueBegin, found.valueEnd - found.valueBegin));
}

QHash<QString, QString> IniText::section(const QByteArray &file, const QString &section)
{
    const QByteArray encodedSection = sectionHeaderName(section);
    QHash<QString, QString> entries;
    bool inSection = false;
    scanLines(file, [&](const Line &line) {
        if (line.kind == Line::Kind::Header)
            inSection = headerMatches(line.name, encodedSection, section);
        else if (line.kind == Line::Kind::Entry && inSection)
            entries.insert(
                IniText::decodeName(line.name),
                IniText::decodeValue(file.mid(line.valueBegin, line.valueEnd - line.valueBegin)));
    });
    return entries;
}

QByteArray IniText::withValue(const QByteArray &file, const QString &section, const QString &key,
                              const QString &value)
{
    const Location found = locate(file, section, key);
    const QByteArray encoded = encodeValue(value);
    QByteArray out = file;
    if (found.valueBegin >= 0) {
        const qsizetype length = found.valueEnd - found.valueBegin;
        // Leaves a hand-typed value that already means the same alone, in its own spelling.
        if (decodeValue(file.mid(found.valueBegin, length)) == value)
            return file;
        return out.replace(found.valueBegin, length, encoded);
    }

    const QByteArray line = encodeName(key) + '=' + encoded + found.lineBreak;
    if (found.sectionFound) {
        qsizetype at = found.insertAt;
        if (!found.insertAtHasBreak) {
            out.insert(at, found.lineBreak);
            at += found.lineBreak.size();
        }
        return out.insert(at, line);
    }
    const bool hasText = out.size() > (out.startsWith(ByteOrderMark) ? 3 : 0);
    if (hasText && !out.endsWith('\n'))
        out += found.lineBreak;
    if (hasText)
        out += found.lineBreak;
    return out + '[' + sectionHeaderName(section) + ']' + found.lineBreak + line;
}

QByteArray IniText::encodeValue(const QString &value)
{
    // Marks that a value read back must be unwrapped again: text starting with "@" would
    // otherwise be taken for a typed value by the earlier versions' reader.
    QString text = value;
    if (value.contains(QChar(u'\0')))
        text = "@String("_L1 + value + u')';
    else if (value.startsWith(u'@'))
        text = u'@' + value;

    QByteArray out;
    out.reserve(text.size() + 2);
    bool needsQuotes = false;
    // After a numeric escape a hex digit would read as part of it, so it is escaped too.
    bool escapeNextIfHexDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHexDigit && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfHexDigit = false;
        if (const std::optional<char> letter = escapeLetter(c)) {
            out += '\\';
            out += *letter;
            continue;
        }
        const bool pairedSurrogate =
            QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (c == u'\0') {
            out += "\\0";
            escapeNextIfHexDigit = true;
        } else if (c <= 0x1F || (QChar::isSurrogate(c) && !pairedSurrogate)) {
            // Other control characters, and a surrogate without its partner, which has no
            // UTF-8 form: escaped, it survives the round trip instead of turning into U+FFFD.
            out += "\\x" + QByteArray::number(c, 16);
            escapeNextIfHexDigit = true;
        } else if (c < 0x80) {
            out += char(c);
        } else if (pairedSurrogate) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

QString IniText::decodeValue(const QByteArray &text)
{
    QString verbatim = QString::fromUtf8(text);
    if (!text.contains('\\') && !text.contains('"') && !text.startsWith('@'))
        return verbatim;
    QString decoded = unescape(text);
    if (decoded.startsWith("@@"_L1))
        decoded.remove(0, 1);
    else if (decoded.startsWith("@String("_L1) && decoded.endsWith(u')'))
        decoded = decoded.mid(8, decoded.size() - 9);
    // Only text that the program itself would have written is read as escaped.
    return encodeValue(decoded) == text ? decoded : verbatim;
}

QByteArray IniText::encodeName(const QString &name)
{
    QByteArray out;
    for (const QChar ch : name) {
        const char16_t c = ch.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            out += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return out;
}

QString IniText::decodeName(const QByteArray &text)
{
    const QString name = QString::fromUtf8(text);
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == u'\\') {
            out += u'/';
            continue;
        }
        if (c == u'%') {
            bool ok = false;
            if (name.mid(i + 1, 1) == "U"_L1) {
                const uint code = name.mid(i + 2, 4).toUInt(&ok, 16);
                if (ok && name.mid(i + 2, 4).size() == 4) {
                    out += QChar(char16_t(code));
                    i += 5;
                    continue;
                }
            }
            const uint code = name.mid(i + 1, 2).toUInt(&ok, 16);
            if (ok && name.mid(i + 1, 2).size() == 2) {
                out += QChar(char16_t(code));
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}
