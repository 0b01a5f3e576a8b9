#include "UserDialogs.h"

#include <cstdio>
#include <utility>

#include <QApplication>
#include <QFileInfo>
#include <QFileDialog>

#include "FileChooser.h"
#include "MessageBox.h"

namespace {

TMessageBoxHandler &MessageHandler() {
  static TMessageBoxHandler h;
  return h;
}
TFolderDialogHandler &FolderHandler() {
  static TFolderDialogHandler h;
  return h;
}
TFileDialogHandler &FileHandler() {
  static TFileDialogHandler h;
  return h;
}

bool HaveWidgets() { return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr; }

}  // namespace

int ShowMessageBox(const QString &text, const QString &title, uint8_t kind, TMsgButtons buttons) {
  // A copy, so a handler may replace itself while it runs.
  if (TMessageBoxHandler h = MessageHandler()) return h(text, title, kind, buttons);
  if (HaveWidgets()) return RunMessageBoxDialog(text, title, kind, buttons);
  // No screen to ask on: say it where it can be read and take the cautious
  // answer, the one Escape gives (never "Da").
  QString shown = text;
  shown.replace("\r\n", "\n").replace('\r', '\n');
  std::fprintf(stderr, "%s: %s\n", qPrintable(MessageBoxCaption(title, kind)), qPrintable(shown));
  return MessageBoxEscapeResult(buttons);
}

void ShowError(const QString &text) { ShowMessageBox(text, "Eroare", mkWarning, MsgOK); }

bool AskYesNo(const QString &text) {
  return ShowMessageBox(text, "Atentie", mkConfirmation, MsgYesNo) == mrYes;
}

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  return std::exchange(MessageHandler(), std::move(handler));
}

TFolderDialogHandler SetFolderDialogHandler(TFolderDialogHandler handler) {
  return std::exchange(FolderHandler(), std::move(handler));
}

std::optional<QString> BrowseForFolder(const QString &title, const QString &root) {
  if (TFolderDialogHandler h = FolderHandler()) return h(title, root);
  if (!HaveWidgets()) return std::nullopt;
  QFileDialog chooser(QApplication::activeWindow(), title, root);
  chooser.setFileMode(QFileDialog::Directory);
  chooser.setOption(QFileDialog::ShowDirsOnly);
  const QString dir = RunChooser(chooser);
  if (dir.isEmpty()) return std::nullopt;
  return dir;
}

TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler) {
  return std::exchange(FileHandler(), std::move(handler));
}

std::optional<QString> ChooseFile(TFileDialogMode mode, const QString &title, const QString &dir,
                                  const QString &filter) {
  if (TFileDialogHandler h = FileHandler()) return h(mode, title, dir, filter);
  if (!HaveWidgets()) return std::nullopt;
  QFileDialog chooser(QApplication::activeWindow(), title, dir, filter);
  chooser.setFileMode(mode == TFileDialogMode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  chooser.setAcceptMode(mode == TFileDialogMode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  const QString file = RunChooser(chooser);
  if (file.isEmpty()) return std::nullopt;
  return file;
}

namespace {

const QString TextFileFilter = QStringLiteral("Fisier text (*.txt)");

}  // namespace

std::optional<QString> ChooseTextFileToSave(const QString &title, const QString &dir) {
  std::optional<QString> chosen = ChooseFile(TFileDialogMode::Save, title, dir, TextFileFilter);
  if (!chosen || chosen->isEmpty()) return std::nullopt;
  if (!QFileInfo(*chosen).suffix().isEmpty()) return chosen;
  const QString path = *chosen + QStringLiteral(".txt");
  if (QFileInfo::exists(path) &&
      !AskYesNo(QStringLiteral("Fisierul ") + path + QStringLiteral(" exista deja.\r\rIl inlocuiesti ?")))
    return std::nullopt;
  return path;
}

std::optional<QString> ChooseTextFileToOpen(const QString &title, const QString &dir) {
  return ChooseFile(TFileDialogMode::Open, title, dir,
                    TextFileFilter + QStringLiteral(";;Toate fisierele (*)"));
}
