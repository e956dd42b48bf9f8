#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

namespace tarvel::test {

/// A delivered PDF as the tests read it back, through poppler's tools.
class PdfPages
{
public:
    explicit PdfPages(QString path);

    int pageCount() const;
    /// The text of page \a page (1-based), or of the whole file for 0.
    QString text(int page = 0) const;
    /// Page \a page (1-based) rendered in grey at \a dpi.
    QImage render(int page, int dpi = 300) const;
    /// A word of a page and its box in points from the page's top-left corner.
    struct Word
    {
        QString text;
        QRectF box;
    };
    /// The words of page \a page (1-based) in reading order.
    QList<Word> words(int page) const;

private:
    QString m_path;
};

} // namespace tarvel::test
