#pragma once
// The page layout of the printed bug report, in logical units: a page is 630 units wide and as
// high as the device's printable area is in proportion. Each page has a header ("Bug Report",
// the date and a rule), a row of column captions, as many bug rows as fit, and a footer (a rule
// and "page/pages"); header and footer take 86 units together.
#include <QFont>

#include <array>

namespace tarnwick {

// One printed column: the bug list's column it shows and its width in average characters of
// the small font (0: the rest of the page).
struct ReportColumn {
    int listColumn;
    int widthInChars;
    int textOffset; // from the cell's left edge
};

inline constexpr int kReportColumnCount = 7;
// ID, Description, Status, Priority, Severity, Reproductive, Classification.
extern const std::array<ReportColumn, kReportColumnCount> kReportColumns;

struct BugReportLayout {
    static constexpr int kPageWidth = 630;
    static constexpr int kMargins = 86;
    static constexpr int kHeaderHeight = 50;
    static constexpr int kFooterHeight = kMargins - kHeaderHeight;
    static constexpr int kTextTop = 2; // cell text below the cell's top
    static constexpr const char* kMeasureText =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";

    QFont smallFont;
    QFont largeFont;
    int smallCharWidth = 0;
    int largeCharWidth = 0;
    int rowHeight = 0;
    int pageHeight = 0;
    int rowCount = 0;
    int rowsPerPage = 0;
    int pageCount = 0;
    // Left edges of the printed columns, and the right edge of the last one.
    std::array<int, kReportColumnCount + 1> columnEdges{};

    // The layout of rows on a device whose printable area is deviceWidth x deviceHeight pixels.
    // rowsPerPage above 0 replaces the number that fits (never more than fits is sensible, but
    // it is taken as given). At least one row goes on a page, however small it is.
    static BugReportLayout Prepare(int deviceWidth, int deviceHeight, int rows,
                                   int rowsPerPage = 0);

    // The first row of a page (1-based) and the number of rows on it.
    int firstRowOf(int page) const { return (page - 1) * rowsPerPage; }
    int rowsOn(int page) const;
    // The top of the caption row and of a page's n-th row (0-based).
    int tableTop() const { return kHeaderHeight; }
    int rowTop(int n) const { return kHeaderHeight + (n + 1) * rowHeight; }
    int footerRule() const { return pageHeight - kFooterHeight + 8; }
};

// "Arial" of a height in logical units; where Arial is missing the font system substitutes a
// metric-compatible face (Liberation Sans, Arimo).
QFont ReportFont(int height);

} // namespace tarnwick
