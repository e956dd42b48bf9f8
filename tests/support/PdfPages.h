#pragma once

#include <QImage>
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

private:
    QString m_path;
};

} // namespace tarvel::test
