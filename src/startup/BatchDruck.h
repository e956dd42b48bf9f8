#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <functional>

class QTextStream;

namespace tarvel::startup {

class DruckOptionen;

/// The command "tarvel drucken [Optionen] DATEI": prints an article file
/// without a window, with the same runs as the main window. The output gets
/// one line telling where the job went; messages, and on a terminal the
/// progress, go to the error output.
class BatchDruck
{
public:
    /// Exit codes of the command.
    enum Rueckgabe { Gedruckt = 0, Fehler = 1, Bedienfehler = 2 };

    /// The command as main() starts it: \a argv[1] is "drucken". Needs no display.
    static int main(int argc, char **argv);

    /// \a terminal: the error output is a terminal, so the progress is shown.
    BatchDruck(QTextStream &ausgabe, QTextStream &fehler, bool terminal);

    /// Asked after each record; returning true cancels the run.
    void setAbbruch(std::function<bool()> abbruch) { m_abbruch = std::move(abbruch); }

    /// Runs the command for \a argumente, the words after "drucken"; returns the exit code.
    int ausfuehren(const QStringList &argumente);

private:
    int drucken(const DruckOptionen &optionen);
    bool einmalLesen(const QString &pfad);
    bool seiteFehlt(const DruckOptionen &optionen);
    bool fortschritt(qint64 erledigt, qint64 gesamt);
    void zeileBeenden();

    QTextStream &m_aus;
    QTextStream &m_fehler;
    bool m_terminal;
    std::function<bool()> m_abbruch;
    QElapsedTimer m_uhr;
    qint64 m_zuletzt = -1; ///< when the progress line was last written; -1 before the first
};

} // namespace tarvel::startup
