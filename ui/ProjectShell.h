// What the windows opened from the main window need of it: the current
// project's directory and the link slot of the register action in progress.
//
// The editors and reports sit below the main window in the build (it opens
// them), so they reach it through this interface rather than through
// TEmainZeprog itself.
#pragma once

#include <string>

class TTARVO;

class TProjectShell {
 public:
  virtual ~TProjectShell() = default;
  // The current project's directory as the table layer takes it; empty while
  // no project is open.
  virtual std::string ProjectDirPath() const = 0;
  // Configures CurrentLink from the project's serial settings and opens it.
  virtual bool OpenProjectLink() = 0;
  // Set by an action before OpenProjectLink; destroyed and emptied by it.
  TTARVO *CurrentLink = nullptr;
};

// The main window while it exists, else null.
TProjectShell *ProjectShell();
void SetProjectShell(TProjectShell *shell);
