#pragma once

// Bounds the temporary disk a client statement may use. SQLite sorts, builds automatic indexes
// and materializes subqueries in temporary files, and nothing bounds their size: one query wrote
// more than a gigabyte in seconds. Every connection opens its files through a VFS that forwards
// to the default one and counts the bytes by which temporary files grow against a budget of the
// thread running the statement; past it, the write fails as if the disk were full.

#include <sqlite3.h>

#include <cstdint>

namespace dravik::server {

// Registers the counting VFS as the default (once; later calls do nothing).
void installTempBudgetVfs();

// The temporary bytes the statements run on this thread from now on may still write in all
// (negative: no limit).
void setTempBudget(std::int64_t bytes);

// The temporary bytes all open temporary files of the process may hold at once (negative: no
// limit), and what they hold now. A write past it fails as the statement budget does.
void setServerTempLimit(std::int64_t bytes);
std::int64_t serverTempHeld();

// Whether the last refusal of a temporary write on this thread came from the budget.
bool tempBudgetExceeded();

} // namespace dravik::server
