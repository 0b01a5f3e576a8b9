// Pieces the editor windows share: the layout of a window made of one grid
// over the bottom button panel, and the actions every editor window has.
#pragma once

#include <functional>
#include <string>

#include <QString>

#include "RegisterLink.h"
#include "VerifyWindow.h"

class QAbstractItemView;
class QPushButton;
class QWidget;
class TEditorDialog;
class TEditorLogic;
struct TActionResult;

// The two buttons every editor window has beside "&Programare casa".
inline const QString ProgramChangesCaption = QStringLiteral("Programare mo&dificari");
inline const QString VerifyCaption = QStringLiteral("Veri&ficare casa");

// Puts grid above the dialog's Panel1 and lays the panel out: the buttons
// on the left (verify under read, changes under program), the gauge `g` in
// the middle (keeping its place while it is hidden), the closing button on
// the right.
void LayOutGridWindow(TEditorDialog &dialog, QWidget *grid, QPushButton *read, QPushButton *program,
                      QPushButton *close, QPushButton *verify, QPushButton *changes);

// The "I&esire" button: closes the window (it is the Esc button too); the
// dialog refuses to close while an action runs.
QPushButton *AddCloseButton(TEditorDialog &dialog);

// A cell still being typed in is stored before an action starts, whether
// its button was clicked or reached by its Alt key (which takes no focus
// from the cell), and its editor closed, so that it cannot write what it
// shows over what the action brings. False, with the editor left open,
// when the grid refused the value (its message shown): the action must
// not start without it.
bool CommitTyping(QAbstractItemView *grid);

// "Programare mo&dificari": the changes run under a wait cursor. When the
// register's image is missing the user is asked ("Atentie", Da/Nu) whether
// to program the whole table instead, and that runs on "Da"; a run with
// nothing to send says so. Returns what to report (a success when the user
// said "Nu").
TActionResult ProgramChangesOrAll(TEditorDialog &dialog, TEditorLogic &logic);

// "Veri&ficare casa": the verify under a wait cursor, then the grid
// repainted with its marks and the differences listed in list (made on
// first use, beside dialog), or a message that there are none. goTo moves
// the grid to the row of a listed difference, fieldTitle (when given) names
// a field in the list. Returns what to report.
TActionResult VerifyAndShow(TEditorDialog &dialog, TEditorLogic &logic, QAbstractItemView *grid, TEVerify *&list,
                            const TVerifyWording &wording,
                            std::function<void(const TDifference &, const std::string &field)> goTo,
                            std::function<QString(const TDifference &, const std::string &field)> fieldTitle = {});

// After a read or a run the last verify's list no longer tells the truth.
void HideStaleVerify(TEVerify *list, const TEditorLogic &logic);
