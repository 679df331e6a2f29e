#include "platform/StaleSaveFiles.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

// Links are followed this far, as QSaveFile does; a longer chain is a loop.
constexpr int MaxLinkHops = 40;

// The length of the random part of QSaveFile's temporary names.
constexpr qsizetype RandomLength = 6;

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isAsciiUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

bool isAsciiLower(QChar c)
{
    return c >= u'a' && c <= u'z';
}

bool isOwnFile(const QFileInfo &info)
{
#if defined(_WIN32)
    Q_UNUSED(info);
    return true;
#else
    return info.ownerId() == ::geteuid();
#endif
}

} // namespace

bool StaleSaveFiles::isLeftoverName(const QString &name, const QString &fileName)
{
    if (fileName.isEmpty() || name.size() != fileName.size() + 1 + RandomLength ||
        !name.startsWith(fileName) || name.at(fileName.size()) != u'.')
        return false;
    const QStringView random = QStringView(name).right(RandomLength);
    bool capitalAfterFirst = false;
    bool small = false;
    for (qsizetype i = 0; i < random.size(); ++i) {
        const QChar c = random.at(i);
        if (!isAsciiLetterOrDigit(c))
            return false;
        capitalAfterFirst = capitalAfterFirst || (i > 0 && isAsciiUpper(c));
        small = small || isAsciiLower(c);
    }
    return capitalAfterFirst && small;
}

QString StaleSaveFiles::fileBehindLinks(const QString &path)
{
    QString file = path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        const QFileInfo info(file);
        if (!info.isSymLink())
            break;
        file = info.symLinkTarget();
    }
    return file;
}

int StaleSaveFiles::remove(const QString &path, std::chrono::seconds minimumAge)
{
    const QFileInfo file(fileBehindLinks(path));
    const QString fileName = file.fileName();
    if (fileName.isEmpty())
        return 0;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int removed = 0;
    QDirIterator entries(file.absolutePath(),
                         QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo entry = entries.fileInfo();
        if (!isLeftoverName(entry.fileName(), fileName) || !entry.isFile() || entry.isSymLink() ||
            !isOwnFile(entry))
            continue;
        // A time in the future (a clock set back) counts as new.
        const qint64 age = entry.lastModified().toUTC().secsTo(now);
        if (minimumAge.count() > 0 && age < minimumAge.count())
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}
