#include "automation/ObjectNumbers.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>

Q_LOGGING_CATEGORY(lcNumbers, "tarvel.automation.numbers")

namespace tarvel::automation {

ObjectNumbers::ObjectNumbers(QString file) : m_file(std::move(file))
{
    if (m_file.isEmpty())
        m_file = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/tarvel-objektnummern");
}

qint64 ObjectNumbers::next()
{
    if (m_next >= m_end)
        reserve();
    return m_next++;
}

void ObjectNumbers::reserve()
{
    qint64 stored = 0;
    if (QFile in(m_file); in.open(QIODevice::ReadOnly))
        stored = in.read(32).trimmed().toLongLong();
    const qint64 from = std::max(stored + 1, m_end);
    QSaveFile out(m_file);
    if (out.open(QIODevice::WriteOnly) && out.write(QByteArray::number(from + Block - 1)) > 0 && out.commit()) {
        m_next = from;
        m_end = from + Block;
        return;
    }
    // Without the file the clock since boot keeps the numbers apart: it never
    // goes back, and no server creates a thousand objects a millisecond.
    qCWarning(lcNumbers).noquote() << "Objektnummern können nicht in" << m_file << "vorgemerkt werden:"
                                   << out.errorString() << "- sie folgen der Uhr seit dem Systemstart";
    using namespace std::chrono;
    m_next = std::max(m_end, qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()) * 1000);
    m_end = m_next + Block;
}

} // namespace tarvel::automation
