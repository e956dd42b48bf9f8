#pragma once

#include <QString>

namespace tarvel::platform {

/// What a drawing belongs to: the field of a record being drawn, and the
/// record's line in its file. Layouts name the field (FieldTag), runs the record.
struct DrawTag
{
    QString field;     ///< "KurzText1", "BestellNr"; empty where no field is drawn (a header, a frame)
    qint64 record = 0; ///< line of the record in its file, counted from 1; 0 for none

    bool operator==(const DrawTag &) const = default;
};

} // namespace tarvel::platform
