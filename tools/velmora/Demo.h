#pragma once
// `velmora demo FILE [--bugs N] [--seed S]`: creates FILE as a new database and fills it with a
// realistic, reproducible demo through the engine's object model.

// argv[0] is the first word after "demo"; returns the process exit status.
int RunDemo(int argc, char** argv);
