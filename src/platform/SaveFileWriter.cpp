#include "platform/SaveFileWriter.h"

#include "platform/SaveFileSteps.h"
#include "platform/StaleSaveFiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

namespace {

// A log has no lock that its writers share: two launches may write the same log at once.
// A save in progress is seconds old; one that old is a dead save's.
constexpr std::chrono::minutes LeftoverAge{10};

} // namespace

WriteResult SaveFileSteps::failure(const QString &path, const QString &message)
{
    return WriteResult{false, QStringLiteral("Cannot write the log file \"%1\": %2")
                                  .arg(QDir::toNativeSeparators(path), message)};
}

QByteArray SaveFileWriter::encode(const QString &text)
{
    // An unpaired surrogate is no character at all; the encoders would turn it into a
    // replacement character or drop it, where every other unrepresentable one becomes "?".
    QString clean = text;
    for (qsizetype i = 0; i < clean.size(); ++i) {
        const QChar c = clean.at(i);
        if (c.isHighSurrogate() && i + 1 < clean.size() && clean.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            clean[i] = u'?';
    }
    QStringEncoder encoder(QStringConverter::System);
    return encoder(clean);
}

WriteResult SaveFileWriter::write(const QString &path, const QString &text)
{
    if (path.isEmpty())
        return WriteResult{false, QStringLiteral("Cannot write the log file: no path was given.")};

    const QByteArray bytes = encode(text);

    if (const std::optional<WriteResult> special = SaveFileSteps::writeIfNotRegular(path, bytes))
        return *special;

    StaleSaveFiles::remove(path, LeftoverAge);
    // QSaveFile follows symbolic links, keeps an existing file's permissions and refuses a
    // file the user may not write. A writable log in a folder the user may not write to
    // (no room for a temporary file) is still written, in place: refusing it would break a
    // setup that worked, at the cost of atomicity in that one case.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return SaveFileSteps::failure(path, file.errorString());
    if (const QString message = SaveFileSteps::writeAndFlush(file, bytes); !message.isEmpty()) {
        file.cancelWriting();
        return SaveFileSteps::failure(path, message);
    }
    if (!file.commit())
        return SaveFileSteps::failure(path, file.errorString());
    return WriteResult{true, QString()};
}
