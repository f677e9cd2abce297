#pragma once

// `velmora summary FILE [LOGIN [PASSWORD]]`: opens a database through the object model, logs in
// and prints who logged in and what the lookup lists hold.
int RunSummary(int argc, char** argv);
