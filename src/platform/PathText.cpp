#include "platform/PathText.h"

#include <exception>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

// Position of the first NUL or unpaired surrogate, or -1.
qsizetype firstUnnameable(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            return i;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return i;
    }
    return -1;
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
    if (firstUnnameable(text) < 0)
        return text;
    QString shown;
    shown.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            shown += c;
            shown += text.at(++i);
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
