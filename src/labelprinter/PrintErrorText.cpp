#include "labelprinter/PrintErrorText.h"

#include "platform/RuntimeError.h"

namespace tarvel::labelprinter {

QString printErrorText(const platform::RuntimeError &error)
{
    return QStringLiteral("Beim Drucken ist folgender Fehler aufgetreten:") + MessageBreak + error.text();
}

} // namespace tarvel::labelprinter
