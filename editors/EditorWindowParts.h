// Pieces the editor windows share: the project they work on, as the main
// window holds it, and the layout of a window made of one grid over the
// bottom button panel.
#pragma once

#include <QString>

#include "RegisterLink.h"

class QPushButton;
class QWidget;
class TEditorDialog;

// The main window's project directory and its CurrentLink slot.
TProjectContext ShellProjectContext();

// Puts grid above the dialog's Panel1 and lays the panel out: the buttons
// on the left, the gauge `g` in the middle (keeping its place while it is
// hidden), the closing button on the right.
void LayOutGridWindow(TEditorDialog &dialog, QWidget *grid, QPushButton *first, QPushButton *second,
                      QPushButton *close);

// The "I&esire" button: closes the window (it is the Esc button too); the
// dialog refuses to close while an action runs.
QPushButton *AddCloseButton(TEditorDialog &dialog);

// A cell still being typed in is stored before an action starts, as leaving
// it would (a button pressed with its Alt key takes no focus from the cell).
void CommitTyping(QWidget *grid);
