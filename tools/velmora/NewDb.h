#pragma once
// `velmora newdb FILE`: creates an empty, valid database and never overwrites an existing file.

// argv[0] is "newdb"; returns the process exit status.
int RunNewDb(int argc, char** argv);
