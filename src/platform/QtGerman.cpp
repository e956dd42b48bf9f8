#include "platform/QtGerman.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarvel::platform {

bool installQtGerman()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    // Owned by the application, so it lives exactly as long.
    auto *translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("Qts deutsche Übersetzung (qtbase_de) fehlt: Qts eigene Dialoge erscheinen englisch");
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace tarvel::platform
