#pragma once
// Shows the bugs' rich texts (Report, Recreate Step, Workaround, Resolution), stored as RTF, in a
// QTextDocument.
#include <QString>

class QTextDocument;

namespace tarnwick {

// Replaces the document's content with the rich text. Text that does not start with "{\rtf"
// is shown as plain text.
void ReadRtf(const QString& text, QTextDocument& document);

// The plain text the reader sees (paragraphs joined with '\n'; a list item starts with its
// marker and a tab).
QString RtfPlainText(const QString& text);

// Whether the text is RTF rather than plain text.
bool IsRtf(const QString& text);

} // namespace tarnwick
