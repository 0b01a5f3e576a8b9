// Process-wide pieces of the desktop program: the application object that
// turns an exception escaping an action into a message instead of an end,
// Qt's own texts in Romanian, and the "," decimal separator.
#pragma once

#include <exception>
#include <utility>

#include <QApplication>
#include <QStringList>

// Shows what went wrong the way the toolkit's standard error report does:
// the exception's text, with a closing full stop, in the error box.
void ReportException(const std::exception &e);
void ReportUnknownException();

// Runs an action; an exception that escapes it is reported and the program
// goes on. Every menu item and button of the program runs through this.
template <class F>
void RunGuarded(F &&action) {
  try {
    std::forward<F>(action)();
  } catch (const std::exception &e) {
    ReportException(e);
  } catch (...) {
    ReportUnknownException();
  }
}

// Every conversion between decimal numbers and text in the windows uses ","
// (QLocale default; no digit grouping). The core formats with FormatDecimal.
void SetDecimalSeparator();

// Qt's own texts (file and folder choosers, standard buttons, the context
// menus of text fields and scroll bars) in Romanian, from the catalogue in
// the first of dirs that holds it; it replaces the one loaded before. False
// when there is none: Qt then speaks English, and nothing else changes.
bool LoadQtTranslation(const QStringList &dirs);
// Where the catalogue is looked for, for an executable in executableDir:
// beside it (the build tree, a copy carried on a stick), then the data
// directory of the prefix it is installed in.
QStringList QtTranslationDirs(const QString &executableDir);

// Loads Qt's Romanian as it starts, from QtTranslationDirs() of its own
// directory.
class TTarvoApplication : public QApplication {
 public:
  TTarvoApplication(int &argc, char **argv);
  // Catches what escapes an event handler that is not already guarded.
  bool notify(QObject *receiver, QEvent *event) override;
};
