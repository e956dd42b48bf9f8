#pragma once

#include <QString>

namespace tarvel::platform {
class RuntimeError;
}

namespace tarvel::labelprinter {

/// The break between a message's heading and the error's text: line feed,
/// carriage return, line feed, carriage return (10, 13, 10, 13).
inline const QString MessageBreak = QStringLiteral("\n\r\n\r");

/// The message of a print error that a layout traps, in the setup dialog and
/// in the main window's runs: "Beim Drucken ist folgender Fehler aufgetreten:",
/// MessageBreak, and the error's text.
QString printErrorText(const platform::RuntimeError &error);

} // namespace tarvel::labelprinter
