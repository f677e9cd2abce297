#pragma once
// The client's configuration record, kept in the file Bug.cfg: the default database, the
// automatic login, the default role or product version and the date format.
#include <QString>

#include <velmora/Com.h>

namespace tarnwick {

class ClientConfig {
  public:
    // A saved password fills at most the whole 64-byte block (UTF-8 bytes).
    static constexpr int kMaxPasswordBytes = 64;

    // The program's one record, created with the defaults on first use, destroyed at exit.
    static ClientConfig& Instance();

    // Reads the file into the record, field by field in file order. Returns the empty text on
    // success; otherwise a description of the failure (the system's message when the file is
    // missing or unreadable), with the fields read before the failure assigned and the others
    // unchanged.
    QString Load(const QString& path);

    // Replaces the file with the record, readable and writable by the owner only. Returns the
    // empty text on success, otherwise the description of the failure; the old file then stays
    // as it was. A password that does not fit the block is refused before anything is written.
    // With SavePassword 0 the password is stored empty.
    QString Save(const QString& path) const;

    LONG UseDefaultDatabase = 0;
    LONG UseDefaultLogin = 0;
    LONG UseDefaultRoleOrProduct = 0;
    // Set by the options page before every save.
    LONG SavePassword = 0;
    QString DatabasePath;
    QString LoginName;
    // In clear in memory, enciphered in the file.
    QString Password;
    // Non-zero means role mode; DefaultVersionID is used when it is 0.
    LONG DefaultRoleID = 0;
    LONG DefaultVersionID = 0;
    QString DateFormat;
};

// "The password is too long to be saved: it may hold at most 64 bytes."
extern const char* const kPasswordTooLongToSave;

} // namespace tarnwick
