#pragma once
// Reading printed PDF files back with poppler's command-line tools (pdfinfo, pdftotext,
// pdffonts), independent of the Qt code that wrote them.
#include <QString>
#include <QStringList>

namespace tarnwick::test {

// The value of one pdfinfo field ("Pages", "Title"), empty when the tool fails.
QString PdfInfo(const QString& pdf, const QString& field);
int PdfPageCount(const QString& pdf);
// The text of one page (1-based), in reading order.
QString PdfPageText(const QString& pdf, int page);
// The names of the fonts the file uses.
QStringList PdfFonts(const QString& pdf);

} // namespace tarnwick::test
