#pragma once
// The database named on tarnwick's command line: `tarnwick team.mdb` or
// `tarnwick postgresql://user@host/team` opens it at start-up, as Database > Open would.
#include <QString>
#include <QStringList>

namespace tarnwick {

// A data source as the user gave it, ready to be opened from anywhere: a server URI exactly as
// given, a file's path made absolute (against the current folder). Nothing checks here that the
// file exists; the engine says so when it does not.
QString ResolvedDataSource(const QString& given);

// The database the program's arguments name (the first argument after the program's name that
// is not an option), resolved; empty when there is none. Qt's own options are taken out of the
// arguments before they get here.
QString StartDatabase(const QStringList& arguments);

} // namespace tarnwick
