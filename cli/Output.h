// Everything tarvoctl prints on stdout goes through here. A script reads the
// exit status to learn whether the lines reached it; a full disk, a closed
// pipe or a closed stdout must therefore make the status 1, never 0. The
// writes, the flush and the close are all checked, in one place, and the
// first failure is kept for the message.
#pragma once

#include <string>
#include <string_view>

// Written to stdout (buffered).
void Out(std::string_view bytes);
void OutF(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Flushes and closes stdout; true when every write, the flush and the close
// went through. Later calls give the same answer; nothing can be printed
// after it. A close of an stdout that was never open, with nothing written
// to it, is no failure: a command that prints nothing may run with `>&-`.
bool FinishOutput();
// The reason of the first failure ("No space left on device"), "" when none.
const std::string &OutputProblem();

// "tarvoctl: cannot write the output: <reason>" on stderr, once however
// often it is called; returns ExitFailed.
int OutputFailure();
// Whether OutputFailure has already said it.
bool OutputFailureReported();

// Called first thing in main. A closed pipe would end the process by
// SIGPIPE, with a status that tells the caller nothing: the write fails with
// EPIPE instead. A standard descriptor the caller closed (`>&-`) is taken by
// /dev/null, or the next file opened (a table file) would get its number
// and the printout would be written into it; stdout's stand-in is opened
// for reading only, so a printout still fails.
void PrepareStandardStreams();
