#pragma once
// `velmora newdb FILE`: creates an empty, valid database and never overwrites an existing file;
// given a server URI, makes the same tables and rows in an empty server database.

// argv[0] is "newdb"; returns the process exit status.
int RunNewDb(int argc, char** argv);
