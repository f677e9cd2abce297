#pragma once

// `velmora summary FILE [LOGIN [PASSWORD]]`: opens a database through the object model, logs in
// and prints who logged in, the lookup lists, the products with their versions and
// classifications, the users, the roles, and the bugs and features of every version the user
// holds a role in, by status.
int RunSummary(int argc, char** argv);
