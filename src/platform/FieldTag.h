#pragma once

#include <QString>

namespace tarvel::platform {

class Printer;

/// Names the field that the drawing during its life belongs to (set() moves
/// on to the next field). The measuring surface tags what it measures with
/// it, and a run names it when drawing fails. The field before comes back when
/// the guard goes, except while an error unwinds: then the field that failed
/// stays for whoever catches the error.
class FieldTag
{
public:
    explicit FieldTag(Printer &printer, const QString &field = {});
    ~FieldTag();
    FieldTag(const FieldTag &) = delete;
    FieldTag &operator=(const FieldTag &) = delete;

    void set(const QString &field);

private:
    Printer &m_printer;
    QString m_before;
    int m_unwinding;
};

} // namespace tarvel::platform
