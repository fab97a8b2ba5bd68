// The program's log: standard output and standard error both go into
// logsDir()/abysto.log, one whole line at a time, flushed at every line.
#pragma once

#include <string>

// Opens (rotating above 1 MiB) the log, writes a header line for this run
// and binds the standard streams to it. A second call writes a new header.
void openLog(const std::string& version);

// Writes out pending text and gives the standard streams back (tests, end of run).
void closeLog();
