#pragma once
// Stores the bug editor's rich texts: turns a QTextDocument into RTF that the client's reader
// (and other RTF readers) show with the same text and formatting.
#include <QString>

class QTextDocument;

namespace tarnwick {

// The document as RTF text: what the bug editor stores for a rich text. Keeps paragraphs with
// their alignment and indents, bullets and numbered items, and runs with their font family,
// size, bold, italic, underline, strike-out and colour. Characters beyond ASCII are written as
// Unicode escapes, so the result is plain ASCII.
QString WriteRtf(const QTextDocument& document);

} // namespace tarnwick
