#include "platform/PathText.h"

#include <algorithm>
#include <exception>
#include <string>
#include <type_traits>

using namespace Qt::Literals::StringLiterals;

namespace {

// File names are bytes here, so a byte kept from one can go back into a file name.
constexpr bool NamesAreBytes = std::is_same_v<std::filesystem::path::value_type, char>;

bool isKeptByte(QChar c)
{
    return NamesAreBytes && c.unicode() >= 0xdc80 && c.unicode() <= 0xdcff;
}

bool startsPair(const QString &text, qsizetype i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
}

// Position of the first NUL or unpaired surrogate other than a kept byte, or -1.
qsizetype firstUnnameable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return i;
        if (startsPair(text, i)) {
            ++i;
            continue;
        }
        if (c.isSurrogate() && !isKeptByte(c))
            return i;
    }
    return -1;
}

// The length of the valid UTF-8 sequence at bytes[i], or 0 when none starts there
// (a stray continuation byte, an overlong form, an encoded surrogate, beyond U+10FFFF, or cut
// short).
qsizetype utf8SequenceLength(const QByteArray &bytes, qsizetype i)
{
    const auto byte = [&](qsizetype at) {
        return static_cast<unsigned char>(bytes.at(at));
    };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf; // the allowed range of the byte after the lead
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xbf)
            return 0;
    }
    return length;
}

QString surrogateCode(QChar c)
{
    return u"U+"_s + QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
}

} // namespace

std::optional<std::filesystem::path> PathText::toPath(const QString &text, QString *problem)
{
    const qsizetype bad = firstUnnameable(text);
    if (bad >= 0) {
        if (problem) {
            const QChar c = text.at(bad);
            *problem =
                c.isNull()
                    ? u"it contains a NUL character"_s
                    : u"it contains the unpaired UTF-16 surrogate %1"_s.arg(surrogateCode(c));
        }
        return std::nullopt;
    }
    try {
        if (NamesAreBytes && holdsKeptBytes(text)) {
            std::string name;
            qsizetype plainFrom = 0;
            const auto appendPlain = [&](qsizetype to) {
                name += text.sliced(plainFrom, to - plainFrom).toStdString();
            };
            for (qsizetype i = 0; i < text.size(); ++i) {
                if (isKeptByte(text.at(i))) {
                    appendPlain(i);
                    name += static_cast<char>(text.at(i).unicode() - 0xdc00);
                    plainFrom = i + 1;
                }
            }
            appendPlain(text.size());
            return std::filesystem::path(name);
        }
        return std::filesystem::path(text.toStdU16String());
    } catch (const std::exception &error) {
        if (problem)
            *problem = u"it cannot be converted to a file name (%1)"_s.arg(
                QString::fromLocal8Bit(error.what()));
        return std::nullopt;
    }
}

QString PathText::printable(const QString &text)
{
    if (firstUnnameable(text) < 0 && !holdsKeptBytes(text))
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (startsPair(text, i)) {
            shown += c;
            shown += text.at(++i);
        } else if (isKeptByte(c)) {
            shown += QChar(QChar::ReplacementCharacter);
        } else if (c.isNull()) {
            shown += u"<NUL>"_s;
        } else if (c.isSurrogate()) {
            shown += u'<' + surrogateCode(c) + u'>';
        } else {
            shown += c;
        }
    }
    return shown;
}

QString PathText::fromNativeBytes(const QByteArray &bytes)
{
    if constexpr (!NamesAreBytes)
        return QString::fromLocal8Bit(bytes);
    QString text;
    text.reserve(bytes.size());
    qsizetype validFrom = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = utf8SequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(validFrom, i - validFrom));
        text += QChar(0xdc00 + static_cast<unsigned char>(bytes.at(i)));
        validFrom = ++i;
    }
    text += QString::fromUtf8(bytes.sliced(validFrom));
    return text;
}

bool PathText::holdsKeptBytes(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), isKeptByte);
}
