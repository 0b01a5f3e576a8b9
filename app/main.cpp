// tarvoprog: the desktop programming tool for the Lumera MX 7350.
#include "Application.h"
#include "MainWindow.h"

int main(int argc, char **argv) {
  TTarvoApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("tarvoprog"));
  // The main window is the only window made at start-up; the others are
  // made when their menu item is chosen.
  TEmainZeprog window;
  SetDecimalSeparator();
  QObject::connect(&window, &TEmainZeprog::Closed, &app, &QCoreApplication::quit);
  window.show();
  return app.exec();
}
