// The only ways the program talks to the user: the message box and the
// file/folder choosers. Each goes through one replaceable handler, so tests
// and the command-line program can answer in place of a person. Nothing here
// needs a window; without a handler and without a QApplication the message
// is written to stderr and answered as if Escape had been pressed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include <QString>

#include "MessageKinds.h"

// Shows the message and returns the modal result of the button that closed
// it (2 for the close box). GUI thread only; may be called while another
// modal window is open.
int ShowMessageBox(const QString &text, const QString &title, uint8_t kind, TMsgButtons buttons);

// The system's two common shapes: an error report ("Eroare", warning, OK)
// and a question ("Atentie", Da/Nu) that is true only for "Da".
void ShowError(const QString &text);
bool AskYesNo(const QString &text);

using TMessageBoxHandler =
    std::function<int(const QString &text, const QString &title, int kind, int buttons)>;
// Replaces the handler (an empty one restores the real dialog); returns the
// previous one so a test can put it back.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

// Folder browser: the chosen folder, or nothing when the user cancels.
using TFolderDialogHandler =
    std::function<std::optional<QString>(const QString &title, const QString &root)>;
TFolderDialogHandler SetFolderDialogHandler(TFolderDialogHandler handler);
std::optional<QString> BrowseForFolder(const QString &title, const QString &root);

// Open and save file choosers (filter as for QFileDialog, e.g. "Text (*.txt)").
enum class TFileDialogMode { Open, Save };
using TFileDialogHandler = std::function<std::optional<QString>(
    TFileDialogMode mode, const QString &title, const QString &dir, const QString &filter)>;
TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler);
std::optional<QString> ChooseFile(TFileDialogMode mode, const QString &title, const QString &dir,
                                  const QString &filter);

// The save chooser for a text file ("Fisier text (*.txt)"): a name typed
// without an extension gets ".txt". The chooser asked about replacing the
// name as typed, so replacing an existing one with the extension is asked
// here; nothing when the user cancels or says "Nu".
std::optional<QString> ChooseTextFileToSave(const QString &title, const QString &dir);
// The open chooser for a text file: text files first, then every file, so
// one saved without an extension can be found.
std::optional<QString> ChooseTextFileToOpen(const QString &title, const QString &dir);
