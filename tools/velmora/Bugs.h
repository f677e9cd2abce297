#pragma once
// `velmora bugs`: lists, shows, adds and updates bugs and features through the object model.

// Runs `velmora bugs ARGUMENTS` (argv holds the arguments after "bugs"); returns the exit
// status: 0 done, 1 refused or failed, 2 wrong arguments.
int RunBugs(int argc, char** argv);
