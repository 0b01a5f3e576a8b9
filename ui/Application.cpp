#include "Application.h"

#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

#include "UserDialogs.h"

namespace {

QString WithFullStop(QString text) {
  text = text.trimmed();
  if (!text.isEmpty() && !text.endsWith('.')) text += '.';
  return text;
}

// Owned by the application, so it goes with it.
QPointer<QTranslator> &LoadedQtTranslator() {
  static QPointer<QTranslator> t;
  return t;
}

}  // namespace

void ReportException(const std::exception &e) {
  ShowMessageBox(WithFullStop(QString::fromLocal8Bit(e.what())), QString(), mkError, MsgOK);
}

void ReportUnknownException() {
  ShowMessageBox(QStringLiteral("Eroare necunoscuta."), QString(), mkError, MsgOK);
}

void SetDecimalSeparator() {
  QLocale ro(QLocale::Romanian, QLocale::Romania);
  ro.setNumberOptions(QLocale::OmitGroupSeparator);
  QLocale::setDefault(ro);
}

bool LoadQtTranslation(const QStringList &dirs) {
  QPointer<QTranslator> &loaded = LoadedQtTranslator();
  if (loaded) {
    QCoreApplication::removeTranslator(loaded);
    delete loaded;
  }
  for (const QString &dir : dirs) {
    // The exact file only: QTranslator would otherwise go on to shorter
    // names ("qtbase.qm") that are none of ours.
    const QString file = dir + QStringLiteral("/" TARVO_QT_TRANSLATION ".qm");
    if (!QFileInfo(file).isFile()) continue;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(file) || !QCoreApplication::installTranslator(translator.get())) continue;
    loaded = translator.release();
    return true;
  }
  return false;
}

QStringList QtTranslationDirs(const QString &executableDir) {
  return {executableDir, QDir::cleanPath(executableDir + QStringLiteral("/" TARVO_TRANSLATIONS_FROM_BIN))};
}

TTarvoApplication::TTarvoApplication(int &argc, char **argv) : QApplication(argc, argv) {
  LoadQtTranslation(QtTranslationDirs(applicationDirPath()));
}

bool TTarvoApplication::notify(QObject *receiver, QEvent *event) {
  bool handled = false;
  RunGuarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}
