#pragma once

#include <QString>
#include <exception>

namespace tarvel::platform {

/// A numbered run-time error with a German description, as users and
/// automation clients see it. Every layer reports its failures through it.
class RuntimeError : public std::exception
{
public:
    enum Number : int {
        InvalidArgument = 5,
        Overflow = 6,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        FileNotFound = 53,
        DeviceIoError = 57,
        PathFileAccessError = 75,
        CannotCreateObject = 429,
        PrinterError = 482,
    };

    explicit RuntimeError(int number, QString detail = {});

    int number() const { return m_number; }
    /// The standard German description of the number ("Überlauf").
    QString description() const;
    /// What failed and where, e.g. "(Zeile 7, Feld BestellNr)"; may be empty.
    QString detail() const { return m_detail; }
    /// Description followed by the detail: the text a message box shows.
    QString text() const;
    /// "Laufzeitfehler 6: Überlauf ..."
    QString message() const;
    /// The transport-neutral error name ("Overflow"), used for D-Bus error names.
    QString name() const;

    /// Returns a copy whose detail is extended by \a more (joined by a blank).
    RuntimeError withDetail(const QString &more) const;

    const char *what() const noexcept override;

    static QString descriptionOf(int number);
    static QString nameOf(int number);

private:
    int m_number;
    QString m_detail;
    mutable QByteArray m_what;
};

} // namespace tarvel::platform
