#pragma once
// Small helpers the RTF reader's tests share: reading a text into a document and finding the
// formats a character or a paragraph was given.
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "client/rtf/RtfReader.h"

namespace tarnwick::test {

// A document in the shape an editor writes: fonts f0 Arial, f1 Courier New, f2 Symbol; colours
// 1 red, 2 a blue, 3 green; then the body.
inline QString EditorDocument(const QString& body) {
    return QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 "
                          "Arial;}{\\f1\\fmodern\\fcharset0 Courier New;}{\\f2\\fnil\\fcharset2 "
                          "Symbol;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;"
                          "\\red0\\green128\\blue0;}\\viewkind4\\uc1\\pard\\f0\\fs20 ") +
           body + QStringLiteral("}");
}

// The format of the first occurrence of `text` in the document (of its last character).
inline QTextCharFormat FormatOf(const QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text);
    return found.isNull() ? QTextCharFormat() : found.charFormat();
}

// The block holding the first occurrence of `text`.
inline QTextBlock BlockOf(const QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text);
    return found.isNull() ? QTextBlock() : found.block();
}

} // namespace tarnwick::test
