#pragma once

#include <QString>

namespace tarvel::automation {

/// The numbers n of the object paths /Tarvel/<class>/<n>, unique across the
/// lifetimes of the server: a client that still holds a path of a server that
/// has ended (idle, or killed) must meet UnknownObject, never another client's
/// object. Each server goes on where the last one stopped: before it hands out
/// a number it reserves a block of them in a file in the user's runtime folder,
/// so a killed server has written down everything it gave away.
class ObjectNumbers
{
public:
    /// \a file keeps the reservations; empty: "tarvel-objektnummern" in the runtime folder.
    explicit ObjectNumbers(QString file = {});

    /// A number no server keeping its reservations in the same file has handed out.
    qint64 next();

    static constexpr qint64 Block = 1000;

private:
    void reserve();

    QString m_file;
    qint64 m_next = 1;
    qint64 m_end = 1; // the first number past the reserved block
};

} // namespace tarvel::automation
