#include "ProjectShell.h"

namespace {
TProjectShell *Current = nullptr;
}

TProjectShell *ProjectShell() { return Current; }
void SetProjectShell(TProjectShell *shell) { Current = shell; }
