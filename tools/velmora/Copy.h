#pragma once
// `velmora copy SOURCE DESTINATION`: copies a whole database, file or server, into a new file
// or an empty server database, in one transaction that commits only after every table has been
// checked against the source.

// argv holds the arguments after "copy"; returns the process exit status.
int RunCopy(int argc, char** argv);
