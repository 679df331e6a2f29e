#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QDropEvent;
class QLineEdit;
class QMimeData;

// Dropping one local file or folder (from a file manager) onto a path box puts its path
// there. Everything else dropped onto the box is refused: several items, non-local URLs,
// plain text, and any drop while the box does not accept typing (read-only or disabled,
// as the target path box is during a countdown).
//
// A drop is taken as a copy or a link, never as a move: a file manager that saw a move
// accepted would delete the file it dragged.
class PathDrop final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PathDrop)

public:
    // Makes box answer drops as above; the handler is owned by the box.
    static void attach(QLineEdit &box);

    // The local path a drop carries: exactly one file URL naming a local file or folder,
    // decoded, without the trailing slash some file managers add to folders. nullopt for
    // anything else.
    [[nodiscard]] static std::optional<QString> localPath(const QMimeData &data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit PathDrop(QLineEdit &box);

    // Chooses copy or link for an acceptable drop; false when the source offers neither.
    [[nodiscard]] bool accept(QDropEvent &event) const;

    QLineEdit &m_box;
};
