#include "automation/NotImplemented.h"

namespace tarvel::automation {

NotImplemented::NotImplemented(QString member)
    : m_member(std::move(member)), m_what(message().toUtf8())
{
}

QString NotImplemented::message() const
{
    return QStringLiteral("%1 ist in dieser Version noch nicht verfügbar: das Layout dafür fehlt noch").arg(m_member);
}

const char *NotImplemented::what() const noexcept
{
    return m_what.constData();
}

} // namespace tarvel::automation
