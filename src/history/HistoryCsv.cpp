#include "history/HistoryCsv.h"

#include <QLocale>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QLatin1StringView kLineEnd = "\r\n"_L1;

QString count(const std::optional<std::uint64_t> &value)
{
    return value ? QString::number(*value) : QString();
}

} // namespace

QString HistoryCsv::header()
{
    return u"time,target,kind,bytes,files,folders,seconds,outcome"_s;
}

QString HistoryCsv::field(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(u"\""_s, u"\"\""_s);
    return u'"' + quoted + u'"';
}

QString HistoryCsv::row(const HistoryRecord &record)
{
    const QStringList fields{
        record.time.toUTC().toString(Qt::ISODate),
        field(record.target),
        record.kind(),
        count(record.bytes),
        count(record.files),
        count(record.folders),
        QLocale::c().toString(record.seconds, 'f', 3),
        field(record.outcome),
    };
    return fields.join(u',');
}

QString HistoryCsv::document(const QList<HistoryRecord> &records)
{
    QString text = header() + kLineEnd;
    for (const HistoryRecord &record : records)
        text += row(record) + kLineEnd;
    return text;
}
