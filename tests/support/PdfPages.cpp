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
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto match = pages.match(QString::fromUtf8(run(QStringLiteral("pdfinfo"), {m_path})));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString PdfPages::text(int page) const
{
    const QString n = QString::number(page);
    const QStringList range = page > 0 ? QStringList{"-f", n, "-l", n} : QStringList{};
    return QString::fromUtf8(run(QStringLiteral("pdftotext"), QStringList{"-layout"} + range + QStringList{m_path, "-"}));
}

QImage PdfPages::render(int page, int dpi) const
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page")), n = QString::number(page);
    run(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-gray", "-singlefile", "-f", n, "-l", n, m_path, prefix});
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

} // namespace tarvel::test
