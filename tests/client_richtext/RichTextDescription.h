#pragma once
// Describes a document as the editor shows it: one line per paragraph (alignment, margins, list)
// and one per run of equally formatted text (family, size, bold, italic, underline, strike-out,
// colour), every property resolved against the document's defaults. Two documents that look
// alike describe alike, whatever their fragments are.
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

#include <cmath>

namespace tarnwick::test {

inline QString DescribeRun(const QTextDocument& document, const QTextCharFormat& format) {
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() || families.front().isEmpty()
                               ? document.defaultFont().family()
                               : families.front();
    const double points =
        format.fontPointSize() > 0 ? format.fontPointSize() : document.defaultFont().pointSizeF();
    QString flags;
    if (format.fontWeight() > QFont::Medium) flags += QLatin1String(" bold");
    if (format.fontItalic()) flags += QLatin1String(" italic");
    if (format.fontUnderline()) flags += QLatin1String(" underline");
    if (format.fontStrikeOut()) flags += QLatin1String(" strike");
    const QString color = format.hasProperty(QTextFormat::ForegroundBrush) &&
                                  format.foreground().style() != Qt::NoBrush
                              ? format.foreground().color().name()
                              : QStringLiteral("auto");
    return QStringLiteral("  run %1 %2pt%3 %4: ").arg(family).arg(points).arg(flags, color);
}

inline QString DescribeBlock(const QTextDocument& document, const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    const QTextList* list = block.textList();
    // A list indents its items itself; what counts is where the text starts.
    const double left = format.leftMargin() + format.indent() * document.indentWidth() +
                        (list ? list->format().indent() * document.indentWidth() : 0.0);
    QString listText = QStringLiteral("none");
    if (list != nullptr)
        listText = QStringLiteral("style %1 level %2 marker '%3'")
                       .arg(list->format().style())
                       .arg(list->format().indent())
                       .arg(list->itemText(block));
    return QStringLiteral("paragraph align %1 left %2 right %3 first %4 list %5")
        .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
        .arg(std::lround(left))
        .arg(std::lround(format.rightMargin()))
        .arg(list ? 0 : std::lround(format.textIndent()))
        .arg(listText);
}

inline QStringList Describe(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        lines << DescribeBlock(document, block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString run = DescribeRun(document, fragment.charFormat());
            if (!lines.back().startsWith(run)) lines << run;
            lines.back() += fragment.text();
        }
    }
    return lines;
}

} // namespace tarnwick::test
