#pragma once

#include <QIODevice>
#include <QString>

namespace tarvel::platform {

/// The file of one job in a jobs folder. It is written under a hidden name of
/// its own, created exclusively, and appears under its job name only when it is
/// complete: the first free "Tarvel-<Datum>-<Zeit>-<n>.pdf", taken with a rename
/// that never replaces. No other process, and no file or symbolic link already
/// there (a dangling one included), can make two jobs share a name or send a job
/// through a link. Write failures are kept with their cause in German.
class JobFile final : public QIODevice
{
public:
    JobFile() = default;
    ~JobFile() override; ///< an unpublished file is removed

    /// Creates the hidden file in \a folder. False, with errorText(), if that fails.
    bool create(const QString &folder);
    /// Writes what is left and waits until it is on the disk. False, with
    /// errorText(), if anything of the file could not be written.
    bool finish();
    /// Gives the finished file its job name; returns that path, or an empty text
    /// with errorText(). \a fixedPath (a file the user named) is taken as it is,
    /// replacing what is there; otherwise the first free job name.
    QString publish(const QString &fixedPath = {});
    /// Drops the file.
    void discard();
    /// Where the file lies until it is published.
    QString path() const { return m_hidden; }

    /// Why the last step failed: the path and the cause ("Der Datenträger ist voll").
    QString errorText() const { return m_error; }
    bool failed() const { return !m_error.isEmpty(); }

    /// The cause of \a errorNumber in the user's words.
    static QString reason(int errorNumber);
    /// Removes the hidden files that processes which no longer run left in
    /// \a folder (killed in the middle of a job). Those of running processes stay.
    static void removeLeftovers(const QString &folder);

    bool isSequential() const override { return true; }
    void close() override;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushBuffer();
    void fail(const QString &path, int errorNumber);

    int m_fd = -1;
    QString m_folder;
    QString m_hidden;
    QByteArray m_buffer;
    QString m_error;
};

} // namespace tarvel::platform
