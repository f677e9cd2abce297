#pragma once
// Replacing a file in one step: the bytes go to a temporary file in the same directory, which is
// renamed over the target only when everything was written. A failure leaves the old file as it
// was and no temporary file behind.
#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <optional>

namespace tarnwick {

// Writes bytes to path. With permissions the new file gets exactly those (set before the rename,
// so the content is never readable under wider ones); without, an existing file's permissions are
// kept. Returns the empty text on success, else the system's description of the failure.
QString WriteFileAtomically(const QString& path, const QByteArray& bytes,
                            std::optional<QFileDevice::Permissions> permissions = std::nullopt);

} // namespace tarnwick
