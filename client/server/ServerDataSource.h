#pragma once
// Data sources as the client shows them. Bug.cfg's DatabasePath, the Open commands and the
// command line take either a database file's path or a PostgreSQL connection URI
// ("postgresql://user@host:5432/team" or "postgres://..."; the scheme in any letter case).
// A URI may carry a password ("user:secret@host" or "?password=secret"), which must never be
// shown: every text that names a data source on screen goes through MaskedDataSource, and every
// text that may quote one (an engine message) through MaskedInText.
#include <QString>

namespace tarnwick {

// True for a postgresql:// or postgres:// URI; a file path (of any name) is false.
bool IsServerDataSource(const QString& dataSource);

// The data source with any password replaced by "****"; a file path comes back unchanged.
QString MaskedDataSource(const QString& dataSource);

// text with every occurrence of dataSource replaced by its masked form, for messages that quote
// the data source they failed on.
QString MaskedInText(const QString& text, const QString& dataSource);

} // namespace tarnwick
