#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace tarvel::automation {

/// A member whose layout this version does not have yet. Clients see it as
/// its own error, apart from the numbered run-time errors.
class NotImplemented : public std::exception
{
public:
    explicit NotImplemented(QString member);

    QString member() const { return m_member; }
    /// "DruckeListe ist in dieser Version noch nicht verfügbar ..."
    QString message() const;
    const char *what() const noexcept override;

private:
    QString m_member;
    QByteArray m_what;
};

} // namespace tarvel::automation
