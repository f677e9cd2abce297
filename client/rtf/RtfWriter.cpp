#include "RtfWriter.h"

#include <algorithm>
#include <cmath>

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>

namespace tarnwick {
namespace {

// RTF measures in twips, 1440 to the inch; the document in pixels of 96 to the inch.
constexpr double kTwipsPerPixel = 15.0;
// How far a list item's marker hangs before its text.
constexpr int kMarkerHangTwips = 360;

int Twips(double pixels) {
    return static_cast<int>(std::lround(pixels * kTwipsPerPixel));
}

// Appends text as RTF: the characters that mean something to RTF escaped, tabs and line
// separators as their control words, everything beyond ASCII as \u escapes of its UTF-16 units.
void AppendText(QString& out, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c == u'\\' || c == u'{' || c == u'}') {
            out += u'\\';
            out += QChar(c);
        } else if (c == u'\t') {
            out += QLatin1String("\\tab ");
        } else if (c == 0x2028 || c == 0x2029 || c == u'\n' || c == u'\r') {
            out += QLatin1String("\\line ");
        } else if (c == QChar::ObjectReplacementCharacter || c < 0x20 || c == 0x7F) {
            // Images and control characters are not text.
        } else if (c < 0x80) {
            out += QChar(c);
        } else {
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c));
                c = text[++i].unicode();
            } else if (QChar::isSurrogate(c)) {
                c = QChar::ReplacementCharacter; // half a pair stands for no character
            }
            out += QStringLiteral("\\u%1?").arg(static_cast<qint16>(c));
        }
    }
}

QString FamilyOf(const QTextCharFormat& format, const QTextDocument& document) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.front().isEmpty()) return families.front();
    return document.defaultFont().family();
}

int HalfPointsOf(const QTextCharFormat& format, const QTextDocument& document) {
    double points = format.fontPointSize();
    if (points <= 0) points = document.defaultFont().pointSizeF();
    if (points <= 0) points = 12;
    return std::max(1, static_cast<int>(std::lround(points * 2)));
}

bool HasColor(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::ForegroundBrush) &&
           format.foreground().style() != Qt::NoBrush;
}

QLatin1String AlignmentWord(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify) return QLatin1String("\\qj");
    if (horizontal & Qt::AlignHCenter) return QLatin1String("\\qc");
    if (horizontal & Qt::AlignRight) return QLatin1String("\\qr");
    return QLatin1String("\\ql");
}

QLatin1String NumberStyleWord(QTextListFormat::Style style) {
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return QLatin1String("\\pnlcltr");
    case QTextListFormat::ListUpperAlpha:
        return QLatin1String("\\pnucltr");
    case QTextListFormat::ListLowerRoman:
        return QLatin1String("\\pnlcrm");
    case QTextListFormat::ListUpperRoman:
        return QLatin1String("\\pnucrm");
    default:
        return QLatin1String("\\pndec");
    }
}

bool IsBullet(QTextListFormat::Style style) {
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

class Writer {
  public:
    explicit Writer(const QTextDocument& document) : document_(document) {
        fonts_.append(document.defaultFont().family()); // \deff0
    }

    QString Write() {
        QString body;
        if (!document_.isEmpty()) {
            for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
                AppendParagraph(body, block);
        }
        QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl");
        for (qsizetype i = 0; i < fonts_.size(); ++i) {
            out += QStringLiteral("{\\f%1\\fnil\\fcharset0 ").arg(i);
            QString name = fonts_[i];
            name.remove(u';'); // ends the name in the table
            AppendText(out, name);
            out += QLatin1String(";}");
        }
        out += QLatin1String("}\n{\\colortbl ;");
        for (const QRgb rgb : colors_)
            out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                       .arg(qRed(rgb))
                       .arg(qGreen(rgb))
                       .arg(qBlue(rgb));
        out += QLatin1String("}\n\\viewkind4\\uc1\n");
        out += body;
        out += u'}';
        return out;
    }

  private:
    void AppendParagraph(QString& out, const QTextBlock& block) {
        const QTextBlockFormat format = block.blockFormat();
        const double indentWidth = document_.indentWidth();
        double left = format.leftMargin() + format.indent() * indentWidth;
        int firstLine = Twips(format.textIndent());
        const QTextList* list = block.textList();
        if (list != nullptr) {
            // The list indents its items; the reader takes that indent back off.
            left += std::max(1, list->format().indent()) * indentWidth;
            firstLine = -std::min(kMarkerHangTwips, Twips(left));
        }
        out += QLatin1String("\\pard");
        out += AlignmentWord(format.alignment());
        out += QStringLiteral("\\li%1\\ri%2\\fi%3")
                   .arg(Twips(left))
                   .arg(Twips(format.rightMargin()))
                   .arg(firstLine);
        if (list != nullptr) AppendListItem(out, block, *list);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid()) AppendRun(out, fragment.text(), fragment.charFormat());
        }
        out += QLatin1String("\\par\n");
    }

    void AppendListItem(QString& out, const QTextBlock& block, const QTextList& list) {
        const QTextListFormat format = list.format();
        const int level = std::max(1, format.indent()) - 1;
        const bool bullet = IsBullet(format.style());
        const QString marker = bullet ? QStringLiteral("\u2022") : list.itemText(block);
        out += QLatin1String("{\\pntext ");
        AppendText(out, marker);
        out += QLatin1String("\\tab}{\\*\\pn");
        if (bullet) {
            out += QLatin1String("\\pnlvlblt{\\pntxtb ");
            AppendText(out, marker);
        } else {
            out += QLatin1String("\\pnlvlbody");
            out += NumberStyleWord(format.style());
            out += QLatin1String("{\\pntxta ");
            AppendText(out, format.numberSuffix());
        }
        out += QLatin1String("}}");
        if (level > 0) out += QStringLiteral("\\ilvl%1").arg(level);
    }

    void AppendRun(QString& out, const QString& text, const QTextCharFormat& format) {
        out += QStringLiteral("{\\f%1\\fs%2")
                   .arg(FontIndex(FamilyOf(format, document_)))
                   .arg(HalfPointsOf(format, document_));
        if (format.fontWeight() > QFont::Medium) out += QLatin1String("\\b");
        if (format.fontItalic()) out += QLatin1String("\\i");
        if (format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline)
            out += QLatin1String("\\ul");
        if (format.fontStrikeOut()) out += QLatin1String("\\strike");
        if (HasColor(format)) out += QStringLiteral("\\cf%1").arg(ColorIndex(format));
        out += u' ';
        AppendText(out, text);
        out += u'}';
    }

    int FontIndex(const QString& family) {
        qsizetype index = fonts_.indexOf(family);
        if (index < 0) {
            index = fonts_.size();
            fonts_.append(family);
        }
        return static_cast<int>(index);
    }

    // Colour 0 is the automatic colour; the table's entries start at 1.
    int ColorIndex(const QTextCharFormat& format) {
        const QRgb rgb = format.foreground().color().rgb() & 0xFFFFFF;
        qsizetype index = colors_.indexOf(rgb);
        if (index < 0) {
            index = colors_.size();
            colors_.append(rgb);
        }
        return static_cast<int>(index) + 1;
    }

    const QTextDocument& document_;
    QStringList fonts_;
    QList<QRgb> colors_;
};

} // namespace

QString WriteRtf(const QTextDocument& document) {
    return Writer(document).Write();
}

} // namespace tarnwick
