#pragma once

namespace tarvel::platform {

/// Qt's own texts (the printer and file dialogs, their buttons) in German:
/// installs Qt's German translation into the running application. Every run
/// mode calls it once its application object exists. False if the translation
/// is not installed.
bool installQtGerman();

} // namespace tarvel::platform
