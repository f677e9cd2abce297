#pragma once
// Bounds what one fuzz input may make SQLite do, on every database handle the engine opens:
// - no attached databases: a fuzzed ATTACH or VACUUM INTO would create files anywhere;
// - no pragmas that move SQLite's own files (temp_store_directory, data_store_directory);
// - values of at most 1 MB, so that zeroblob(1e9) is a clean error rather than an exhausted
//   memory limit;
// - a budget of virtual-machine steps per input, so that an endless recursive query ends with an
//   interrupt (a clean error) instead of running into the fuzzer's time-out.
// These are limits of the harness, not of the engine: a statement text is the engine's own and
// may do anything SQLite allows.
namespace velmora::fuzz {

// Applies to every handle opened from now on; calling it again does nothing.
void InstallSqliteBudget();
// Gives the next input its full step budget.
void StartSqliteBudget();

} // namespace velmora::fuzz
