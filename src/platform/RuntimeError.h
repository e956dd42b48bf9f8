#pragma once

#include <QList>
#include <QString>
#include <exception>

namespace tarvel::platform {

/// A numbered run-time error with a German description, as users and
/// automation clients see it. Every layer reports its failures through it:
/// the step that fails gives the bare detail, callers on the way out add
/// where it happened as context entries.
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

    /// One piece of context a caller adds.
    struct Context
    {
        enum Kind {
            Place, ///< where it happened (file, line, field); shown before the detail
            Note,  ///< what the failing step was given or was part of; shown behind it
        };
        Kind kind;
        QString text;
    };

    /// \a detail says what failed, without brackets ("70000 passt nicht in 16 Bit").
    explicit RuntimeError(int number, QString detail = {});

    int number() const { return m_number; }
    /// The standard German description of the number ("Überlauf").
    QString description() const;
    /// What failed, bare; may be empty.
    QString detail() const { return m_detail; }
    /// The context entries in the order they were added, innermost first.
    const QList<Context> &context() const { return m_context; }

    /// Adds \a place around the places known so far: each caller further out
    /// knows a larger one. Shown outermost first, in the detail's brackets:
    /// "(Datei „a.txt“, Zeile 7, Feld BestellNr: <detail>)".
    RuntimeError &at(const QString &place);
    /// Adds \a note behind the detail, in brackets of its own:
    /// "(<detail>) (Argument Preis1 von DruckeLabel)".
    RuntimeError &note(const QString &note);

    /// Description, places, detail and notes: the text a message box shows.
    QString text() const;
    /// "Laufzeitfehler 6: Überlauf ..."
    QString message() const;
    /// The transport-neutral error name ("Overflow"), used for D-Bus error names.
    QString name() const;

    const char *what() const noexcept override;

    static QString descriptionOf(int number);
    static QString nameOf(int number);

private:
    int m_number;
    QString m_detail;
    QList<Context> m_context;
    mutable QByteArray m_what;
};

} // namespace tarvel::platform
