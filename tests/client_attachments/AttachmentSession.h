#pragma once
// An engine session over a demo database for the attachment tests: mhart logged in with a
// version active whose role may edit attachments, a bug of that version stored, and helpers to
// read the bug's files as the database holds them now.
#include <QByteArray>
#include <QString>

#include "client/adapter/EngineCall.h"
#include "client/editor/EditorPage.h"

namespace tarnwick::test {

struct AttachmentSession {
    ComPtr<IExeContext> context;
    ComPtr<IBugSet> bugs;
    ComPtr<IBug> bug; // stored, with no attachments yet

    // The editor's state for the bug (edit mode, the session's right).
    BugEditorState EditState() const;
    // A fresh file set of the bug, read from the database.
    ComPtr<IFileSet> Files() const;
    // The stored files' names, in the set's order.
    QStringList FileNames() const;
    // Stores the file at path directly (not through the page); returns its ID.
    LONG Attach(const QString& path) const;
};

// Logs mhart into the database and stores a new bug with the description.
AttachmentSession OpenAttachmentSession(const QString& database, const QString& description);

// Writes bytes to path (replacing it) and returns path.
QString WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);
// Bytes that do not compress: packing them takes about as long as reading them.
QByteArray NoiseBytes(qsizetype size, quint32 seed);

} // namespace tarnwick::test
