#pragma once

#include "labelprinter/LabelData.h"

namespace tarvel::automation {

/// A field of the automation object's record, by its name on every interface.
struct RecordField
{
    const char *name;
    QString labelprinter::LabelData::*member;
};

using labelprinter::LabelData;

/// The six article fields, read and write.
inline constexpr RecordField ArticleFields[] = {
    {"ArtikelNr", &LabelData::ArtikelNr}, {"Preis1", &LabelData::Preis1},
    {"Preis2", &LabelData::Preis2},       {"MatchCode", &LabelData::MatchCode},
    {"WarenGruppe", &LabelData::WarenGruppe}, {"ISBN", &LabelData::ISBN},
};

/// The sixteen book, customer and order texts, write only.
inline constexpr RecordField TextFields[] = {
    {"Titel", &LabelData::Titel},         {"Autor", &LabelData::Autor},
    {"Verlag", &LabelData::Verlag},       {"Bemerkung", &LabelData::Bemerkung},
    {"VorgangsNr", &LabelData::VorgangsNr}, {"Datum", &LabelData::Datum},
    {"BestellDatum", &LabelData::BestellDatum}, {"KdNr", &LabelData::KdNr},
    {"Name1", &LabelData::Name1},         {"Name2", &LabelData::Name2},
    {"Strasse", &LabelData::Strasse},     {"PLZ", &LabelData::PLZ},
    {"Ort", &LabelData::Ort},             {"Telefon", &LabelData::Telefon},
    {"SchlussText", &LabelData::SchlussText}, {"Menge", &LabelData::Menge},
};

} // namespace tarvel::automation
