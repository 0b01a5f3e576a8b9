// How a register action (a read, a programming run, an erase, a report, a
// command file) reports its progress and its end, so that the window's gauge
// and message, the command line's stderr and the online mode's result file
// all tell the same story.
#pragma once

#include <string>

struct TActionResult {
  bool Ok = true;
  // A message shown before Message: the missing serial settings, which the
  // link opener reports before its caller says the port did not open.
  std::string Notice;
  // The fixed text of the failure, exactly as the window shows it, trailing
  // carriage return included ("Operatie nereusita!\r").
  std::string Message;
  // The row the run stopped at: its code as the grid shows it and its
  // position (from 1) in the run; empty and 0 when no row is to blame.
  std::string RowCode;
  int Row = 0;
  // Why: the link's LastError, or the port's or the file system's reason.
  // Texts are in the register's code page.
  std::string Reason;

  static TActionResult Success() { return {}; }
  static TActionResult Failure(std::string message, std::string reason = {}) {
    TActionResult r;
    r.Ok = false;
    r.Message = std::move(message);
    r.Reason = std::move(reason);
    return r;
  }

  // The line under the fixed message: "Cod 3: Lipsa cota TVA asociata PLU /
  // Dept", or the reason alone, or "" when there is nothing to add.
  std::string ReasonLine() const;
  // The window's text: Message, then the reason line on a line of its own.
  std::string Text() const;
};

// Progress of a long action, in rows or answer lines. The window shows it in
// its gauge, the command line on stderr. Every call comes from the thread
// that runs the action.
class TProgress {
 public:
  virtual ~TProgress() = default;
  // Range 1..total shown; 0: the total is not known (a read without an
  // estimate), the gauge only shows that something moves.
  virtual void Begin(int total) { (void)total; }
  virtual void Step(int done) { (void)done; }  // at row or line `done`
  // While a read waits for the register: the lines received so far, which
  // may pass an estimated total.
  virtual void Lines(int received) { Step(received); }
  virtual void End() {}  // hidden again
};

// Lets pending events run (a window repaints, timers fire), as an action
// does once per row or line. Does nothing without an application object.
void LetEventsRun();
