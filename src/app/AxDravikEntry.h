#pragma once

// The program: one copy per user; a second start raises the first copy's window and ends.
int DravikProgramEntry(int argc, char **argv);

// The launcher: "dravik-launch KEY=VALUE ..." writes the keys into section "Options" of the
// settings file, then asks the running copy to reload, or starts the program.
int DravikLaunchEntry(int argc, char **argv);
