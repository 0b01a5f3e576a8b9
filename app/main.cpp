// tarvoprog: the desktop programming tool for the Lumera MX 7350.
#include <csignal>

#include "Application.h"
#include "MainWindow.h"

int main(int argc, char **argv) {
  // A file-size limit reached by a table or a Z report's journal fails the
  // write, which the user is told; the signal would end the program first.
  std::signal(SIGXFSZ, SIG_IGN);
  TTarvoApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("tarvoprog"));
  // Lets a desktop match the window to its menu entry.
  app.setDesktopFileName(QStringLiteral("tarvoprog"));
  // The main window is the only window made at start-up; the others are
  // made when their menu item is chosen.
  TEmainZeprog window;
  SetDecimalSeparator();
  // A tool window does not count as the last window for Qt, so closing a
  // message box would end the program; the program ends with its main window.
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(&window, &TEmainZeprog::Closed, &app, &QCoreApplication::quit);
  window.show();
  return app.exec();
}
