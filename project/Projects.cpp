#include "Projects.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "CodePage.h"
#include "ProgramDir.h"

QString ProgramDir() {
  QString dir = QFile::decodeName(QByteArray::fromStdString(ProgramDirectory()));
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

std::string PathBytes(const QString &path) { return QFile::encodeName(path).toStdString(); }

namespace {

bool IsReservedDeviceName(const QString &name) {
  // Windows takes these as devices whatever the extension: "CON", "nul.txt".
  const QString base = name.section('.', 0, 0).trimmed().toUpper();
  static const QStringList fixed = {"CON", "PRN", "AUX", "NUL"};
  if (fixed.contains(base)) return true;
  if (base.size() == 4 && (base.startsWith("COM") || base.startsWith("LPT")) &&
      base[3] >= '1' && base[3] <= '9')
    return true;
  return false;
}

}  // namespace

QString ProjectNameProblem(const QString &name) {
  if (name.isEmpty()) return QStringLiteral("Introdu numele noului proiect!\r");
  for (QChar c : name)
    if (c.category() == QChar::Other_Control)
      return QStringLiteral("Numele proiectului nu poate contine caractere de control !");
  static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
  for (QChar c : name)
    if (forbidden.contains(c))
      return QStringLiteral("Numele proiectului nu poate contine caracterele \\ / : * ? \" < > | !");
  if (name == "." || name == "..")
    return QStringLiteral("Numele proiectului nu poate fi \".\" sau \"..\" !");
  if (name.endsWith(' ') || name.endsWith('.'))
    return QStringLiteral("Numele proiectului nu se poate termina cu spatiu sau punct !");
  if (IsReservedDeviceName(name))
    return QStringLiteral("Numele proiectului este rezervat de sistem !");
  if (!FitsCodePage(name))
    return QStringLiteral(
        "Numele proiectului contine caractere care nu exista in pagina de cod Windows-1250 !");
  return QString();
}

QString CreateProjectDirectory(const QString &programDir, const QString &name) {
  if (QString problem = ProjectNameProblem(name); !problem.isEmpty()) return problem;
  const QString path = programDir + name;
  if (QFileInfo(path).isDir()) return QStringLiteral("Exista deja un proiect cu acest nume !");
  if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
    return QStringLiteral("Nu pot crea directorul ") + path;
  return QString();
}

QString ProjectNameFromFolder(const QString &chosenPath) {
  if (chosenPath.isEmpty()) return QString();
  // Made absolute and cleaned first, so "x/.." or a trailing '/' name the
  // folder they lead to rather than a literal ".." or nothing.
  const QString clean = QDir::cleanPath(QDir(chosenPath).absolutePath());
  const QString name = QFileInfo(clean).fileName();
  if (name == "." || name == "..") return QString();
  return name;
}
