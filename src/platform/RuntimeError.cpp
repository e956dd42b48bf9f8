#include "platform/RuntimeError.h"

#include <QStringList>
#include <algorithm>

namespace tarvel::platform {

RuntimeError::RuntimeError(int number, QString detail)
    : m_number(number), m_detail(std::move(detail))
{
}

QString RuntimeError::descriptionOf(int number)
{
    switch (number) {
    case InvalidArgument: return QStringLiteral("Ungültiger Prozeduraufruf oder ungültiges Argument");
    case Overflow: return QStringLiteral("Überlauf");
    case SubscriptOutOfRange: return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case TypeMismatch: return QStringLiteral("Typen unverträglich");
    case FileNotFound: return QStringLiteral("Datei nicht gefunden");
    case DeviceIoError: return QStringLiteral("Geräte-E/A-Fehler");
    case PathFileAccessError: return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case CannotCreateObject: return QStringLiteral("Objekt kann nicht erstellt werden");
    case PrinterError: return QStringLiteral("Druckerfehler");
    default: return QStringLiteral("Anwendungs- oder objektdefinierter Fehler");
    }
}

QString RuntimeError::nameOf(int number)
{
    switch (number) {
    case InvalidArgument: return QStringLiteral("InvalidArgument");
    case Overflow: return QStringLiteral("Overflow");
    case SubscriptOutOfRange: return QStringLiteral("SubscriptOutOfRange");
    case TypeMismatch: return QStringLiteral("TypeMismatch");
    case FileNotFound: return QStringLiteral("FileNotFound");
    case DeviceIoError: return QStringLiteral("DeviceIoError");
    case PathFileAccessError: return QStringLiteral("PathFileAccessError");
    case CannotCreateObject: return QStringLiteral("CannotCreateObject");
    case PrinterError: return QStringLiteral("PrinterError");
    default: return QStringLiteral("Failed");
    }
}

QString RuntimeError::description() const { return descriptionOf(m_number); }
QString RuntimeError::name() const { return nameOf(m_number); }

RuntimeError &RuntimeError::at(const QString &place)
{
    m_context.append({Context::Place, place});
    return *this;
}

RuntimeError &RuntimeError::note(const QString &note)
{
    m_context.append({Context::Note, note});
    return *this;
}

QString RuntimeError::text() const
{
    QStringList places, notes;
    for (const Context &c : m_context)
        (c.kind == Context::Place ? places : notes).append(c.text);
    std::reverse(places.begin(), places.end());
    QString inner = places.join(QStringLiteral(", "));
    if (!m_detail.isEmpty())
        inner += (inner.isEmpty() ? QString() : QStringLiteral(": ")) + m_detail;
    QString t = description();
    if (!inner.isEmpty())
        t += QStringLiteral(" (") + inner + u')';
    for (const QString &n : std::as_const(notes))
        t += QStringLiteral(" (") + n + u')';
    return t;
}

QString RuntimeError::message() const
{
    return QStringLiteral("Laufzeitfehler %1: %2").arg(m_number).arg(text());
}

const char *RuntimeError::what() const noexcept
{
    m_what = message().toUtf8();
    return m_what.constData();
}

} // namespace tarvel::platform
