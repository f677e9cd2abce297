#include "client/print/BugReportLayout.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

#include "client/list/BugListColumns.h"

namespace tarnwick {

const std::array<ReportColumn, kReportColumnCount> kReportColumns = {{
    {kIdColumn, 7, 3},
    {kDescriptionColumn, 0, 2},
    {kStatusColumn, 15, 2},
    {kPriorityColumn, 9, 2},
    {kSeverityColumn, 9, 2},
    {kReproductiveColumn, 15, 2},
    {kClassificationColumn, 16, 2},
}};

QFont ReportFont(int height) {
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(height);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    // Printers lay text out unhinted: measure it the same way on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {

int AverageCharWidth(const QFont& font) {
    const QString text = QString::fromLatin1(BugReportLayout::kMeasureText);
    return QFontMetrics(font).horizontalAdvance(text) / 52;
}

} // namespace

BugReportLayout BugReportLayout::Prepare(int deviceWidth, int deviceHeight, int rows,
                                         int rowsPerPage) {
    BugReportLayout layout;
    layout.smallFont = ReportFont(9);
    layout.largeFont = ReportFont(12);
    layout.smallCharWidth = std::max(1, AverageCharWidth(layout.smallFont));
    layout.largeCharWidth = std::max(1, AverageCharWidth(layout.largeFont));
    const QFontMetrics small(layout.smallFont);
    layout.rowHeight = small.ascent() + small.descent() + 4;
    layout.pageHeight =
        deviceWidth > 0
            ? static_cast<int>(static_cast<qint64>(kPageWidth) * deviceHeight / deviceWidth)
            : 0;
    layout.rowCount = std::max(0, rows);
    const int fitting = (layout.pageHeight - kMargins - layout.rowHeight) / layout.rowHeight;
    layout.rowsPerPage = rowsPerPage > 0 ? rowsPerPage : std::max(1, fitting);
    layout.pageCount = (layout.rowCount + layout.rowsPerPage - 1) / layout.rowsPerPage;

    int fixed = 0;
    for (const ReportColumn& column : kReportColumns)
        fixed += column.widthInChars * layout.smallCharWidth;
    const int rest = std::max(layout.smallCharWidth * 10, kPageWidth - fixed);
    int x = 0;
    for (size_t i = 0; i < kReportColumns.size(); ++i) {
        layout.columnEdges[i] = x;
        const int chars = kReportColumns[i].widthInChars;
        x += chars > 0 ? chars * layout.smallCharWidth : rest;
    }
    layout.columnEdges[kReportColumns.size()] = std::min(x, kPageWidth);
    return layout;
}

int BugReportLayout::rowsOn(int page) const {
    if (page < 1 || page > pageCount) return 0;
    return std::min(rowsPerPage, rowCount - firstRowOf(page));
}

} // namespace tarnwick
