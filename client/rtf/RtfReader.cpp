#include "RtfReader.h"

#include <algorithm>

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "RtfParser.h"

namespace tarnwick {
namespace {

// RTF measures in twips, 1440 to the inch; the document in pixels of 96 to the inch.
constexpr double kTwipsPerPixel = 15.0;

QString ToQString(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

Qt::Alignment AlignmentOf(rtf::Alignment alignment) {
    switch (alignment) {
    case rtf::Alignment::Center:
        return Qt::AlignHCenter;
    case rtf::Alignment::Right:
        return Qt::AlignRight;
    case rtf::Alignment::Justify:
        return Qt::AlignJustify;
    case rtf::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextListFormat::Style ListStyleOf(const rtf::Paragraph& paragraph) {
    if (paragraph.list == rtf::ListKind::Bullet) {
        static constexpr QTextListFormat::Style bullets[] = {
            QTextListFormat::ListDisc, QTextListFormat::ListCircle, QTextListFormat::ListSquare};
        return bullets[paragraph.listLevel % 3];
    }
    switch (paragraph.numberStyle) {
    case rtf::NumberStyle::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case rtf::NumberStyle::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case rtf::NumberStyle::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    case rtf::NumberStyle::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case rtf::NumberStyle::Decimal:
        break;
    }
    return QTextListFormat::ListDecimal;
}

QTextListFormat ListFormatOf(const rtf::Paragraph& paragraph) {
    QTextListFormat format;
    format.setStyle(ListStyleOf(paragraph));
    format.setIndent(paragraph.listLevel + 1);
    if (paragraph.list == rtf::ListKind::Number) {
        format.setNumberPrefix(QString());
        format.setNumberSuffix(ToQString(paragraph.numberSuffix));
    }
    return format;
}

QTextBlockFormat BlockFormatOf(const rtf::Paragraph& paragraph, double indentWidth) {
    QTextBlockFormat format;
    format.setAlignment(AlignmentOf(paragraph.alignment));
    format.setRightMargin(paragraph.rightIndent / kTwipsPerPixel);
    if (paragraph.list == rtf::ListKind::None) {
        format.setLeftMargin(paragraph.leftIndent / kTwipsPerPixel);
        format.setTextIndent(paragraph.firstLineIndent / kTwipsPerPixel);
    } else {
        // The list indents its items and places their markers itself; only an indent beyond
        // the list's own is kept.
        const double listIndent = (paragraph.listLevel + 1) * indentWidth;
        format.setLeftMargin(std::max(0.0, paragraph.leftIndent / kTwipsPerPixel - listIndent));
    }
    return format;
}

QTextCharFormat CharFormatOf(const rtf::CharFormat& run, const rtf::Document& document) {
    QTextCharFormat format;
    if (run.font >= 0 && static_cast<size_t>(run.font) < document.fonts.size()) {
        const QString family = ToQString(document.fonts[run.font].family);
        if (!family.isEmpty()) format.setFontFamilies({family});
    }
    format.setFontPointSize(run.halfPoints / 2.0);
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    format.setFontStrikeOut(run.strikeout);
    if (run.hasColor) format.setForeground(QColor::fromRgb(run.rgb));
    return format;
}

bool SameList(const rtf::Paragraph& a, const rtf::Paragraph& b) {
    return a.list == b.list && a.listLevel == b.listLevel &&
           (a.list != rtf::ListKind::Number ||
            (a.numberStyle == b.numberStyle && a.numberSuffix == b.numberSuffix));
}

} // namespace

bool IsRtf(const QString& text) {
    return text.startsWith(QLatin1String("{\\rtf"));
}

void ReadRtf(const QString& text, QTextDocument& document) {
    document.clear();
    if (!IsRtf(text)) {
        document.setPlainText(text);
        return;
    }
    const rtf::Document model = rtf::Parse(text.toStdU16String());
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    QTextList* list = nullptr;
    const rtf::Paragraph* listParagraph = nullptr;
    bool first = true;
    for (const rtf::Paragraph& paragraph : model.paragraphs) {
        const QTextBlockFormat blockFormat = BlockFormatOf(paragraph, document.indentWidth());
        const QTextCharFormat firstFormat =
            paragraph.runs.empty() ? QTextCharFormat()
                                   : CharFormatOf(paragraph.runs.front().format, model);
        if (first) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(firstFormat);
        } else {
            cursor.insertBlock(blockFormat, firstFormat);
        }
        first = false;
        if (paragraph.list == rtf::ListKind::None) {
            list = nullptr;
        } else if (list != nullptr && SameList(*listParagraph, paragraph)) {
            list->add(cursor.block());
        } else {
            list = cursor.createList(ListFormatOf(paragraph));
        }
        listParagraph = &paragraph;
        for (const rtf::Run& run : paragraph.runs)
            cursor.insertText(ToQString(run.text), CharFormatOf(run.format, model));
    }
    cursor.endEditBlock();
}

QString RtfPlainText(const QString& text) {
    if (!IsRtf(text)) return text;
    return QString::fromStdU16String(rtf::PlainText(rtf::Parse(text.toStdU16String())));
}

} // namespace tarnwick
