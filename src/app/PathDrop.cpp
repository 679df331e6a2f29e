#include "app/PathDrop.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

PathDrop::PathDrop(QLineEdit &box) : QObject(&box), m_box(box) {}

void PathDrop::attach(QLineEdit &box)
{
    box.setAcceptDrops(true);
    box.installEventFilter(new PathDrop(box));
}

std::optional<QString> PathDrop::localPath(const QMimeData &data)
{
    if (!data.hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1)
        return std::nullopt;
    QUrl url = urls.constFirst();
    if (!url.isLocalFile())
        return std::nullopt;
    // "localhost" is this machine; Qt would make a network path of it, as of any other host,
    // and a file URL naming another host is not a local path.
    if (url.host() == "localhost"_L1)
        url.setHost(QString());
    if (!url.host().isEmpty())
        return std::nullopt;
    QString path = url.toLocalFile();
    if (path.isEmpty())
        return std::nullopt;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool PathDrop::accept(QDropEvent &event) const
{
    if (!m_box.isEnabled() || m_box.isReadOnly() || !event.mimeData() ||
        !localPath(*event.mimeData()))
        return false;
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            return true;
        }
    }
    return false;
}

bool PathDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_box)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // The box's own handling would take plain text too; every drag stops here.
        auto &drag = static_cast<QDropEvent &>(*event);
        if (accept(drag))
            drag.accept();
        else
            drag.ignore();
        return true;
    }
    case QEvent::Drop: {
        auto &drop = static_cast<QDropEvent &>(*event);
        if (!accept(drop)) {
            drop.ignore();
            return true;
        }
        m_box.setText(*localPath(*drop.mimeData()));
        drop.accept();
        return true;
    }
    case QEvent::DragLeave:
        return true;
    default:
        return false;
    }
}
