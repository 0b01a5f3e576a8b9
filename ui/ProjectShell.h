// What the windows opened from the main window need of it: the current
// project's directory and the program's one register action at a time.
//
// The editors and reports sit below the main window in the build (it opens
// them), so they reach it through this interface rather than through
// TEmainZeprog itself.
#pragma once

#include <string>

class TRegisterSlot;

class TProjectShell {
 public:
  virtual ~TProjectShell() = default;
  // The current project's directory as the table layer takes it; empty while
  // no project is open.
  virtual std::string ProjectDirPath() const = 0;
  // Held by whichever window or online command talks to the register.
  virtual TRegisterSlot &RegisterSlot() = 0;
};

// The main window while it exists, else null.
TProjectShell *ProjectShell();
void SetProjectShell(TProjectShell *shell);
