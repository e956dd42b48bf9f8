#pragma once

#include <QStringList>

class QTextStream;

namespace tarvel::startup {

/// The command "tarvel dienst": the print service for web tills (HTTP on
/// 127.0.0.1 and ::1), its token and the origins allowed to use it.
class Dienst
{
public:
    enum Rueckgabe { Erledigt = 0, Fehler = 1, Bedienfehler = 2 };
    static constexpr quint16 StandardPort = 9180;

    /// The command as main() starts it: \a argv[1] is "dienst". Needs no display.
    static int main(int argc, char **argv);

    /// Answers the words after "dienst" that only read or change the settings
    /// (--token, --erlaube, --verbiete, --erlaubt, --hilfe); -1 when they ask to serve.
    /// \a port receives the port to serve on.
    static int verwalten(const QStringList &argumente, const QString &ordner, QTextStream &aus,
                         QTextStream &fehler, quint16 *port);

    /// The folder of the token and the allowed origins: Tarvel's settings folder.
    static QString ordner();
    static QString hilfe();
};

} // namespace tarvel::startup
