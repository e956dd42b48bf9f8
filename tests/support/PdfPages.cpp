#include "support/PdfPages.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace tarvel::test {

namespace {
QByteArray run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qWarning() << program << args << "failed:" << p.readAllStandardError();
    return p.readAllStandardOutput();
}
} // namespace

PdfPages::PdfPages(QString path) : m_path(std::move(path)) {}

int PdfPages::pageCount() const
{
    const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {m_path}));
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString PdfPages::text(int page) const
{
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << m_path << QStringLiteral("-");
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), args));
}

QImage PdfPages::render(int page, int dpi) const
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), m_path, prefix});
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

QList<PdfPages::Word> PdfPages::words(int page) const
{
    const QString xml = QString::fromUtf8(run(QStringLiteral("pdftotext"),
                                              {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                               QStringLiteral("-l"), QString::number(page), m_path, QStringLiteral("-")}));
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&")).replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        words.append({text, QRectF(topLeft, bottomRight)});
    }
    return words;
}

} // namespace tarvel::test
