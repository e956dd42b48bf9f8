// Cold start of the window: from starting "tarvel" (offscreen) until the main
// window has been shown, as the median of several starts.
#include "BenchRow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString program = QStringLiteral(TARVEL_PROGRAM);
    const int starts = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 10;
    QList<double> times;
    for (int i = 0; i < starts; ++i) {
        QTemporaryDir home;
        QProcess p;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tarvel.start.debug=true"));
        p.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, {});
        QByteArray out;
        while (p.waitForReadyRead(20000)) {
            out += p.readAll();
            if (out.contains("Hauptfenster gezeigt") || timer.elapsed() > 20000)
                break;
        }
        times << timer.nsecsElapsed() / 1e9;
        p.kill();
        p.waitForFinished();
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    tarvel::bench::printRow(QStringLiteral("Kaltstart: tarvel bis Fenster gezeigt (Median)"), starts, median,
                            QStringLiteral("%1 ms").arg(median * 1000, 0, 'f', 1), 0,
                            QStringLiteral("min %1 ms, max %2 ms").arg(times.first() * 1000, 0, 'f', 1)
                                .arg(times.last() * 1000, 0, 'f', 1));
    return 0;
}
