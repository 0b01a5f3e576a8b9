#include "ScaleSettings.h"

#include <QFile>

#include <stdexcept>
#include <string_view>

#include "AtomicFile.h"
#include "TextHelpers.h"

namespace {

std::string InDir(const std::string &dir, const char *name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// The file's lines; none when it does not exist.
std::vector<std::string> ReadLinesIfAny(const std::string &path) {
  QFile f(QString::fromLocal8Bit(path.c_str()));
  if (!f.exists()) return {};
  if (!f.open(QIODevice::ReadOnly))
    throw std::runtime_error("Nu pot citi fisierul " + path + ": " + f.errorString().toStdString());
  const QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError)
    throw std::runtime_error("Nu pot citi fisierul " + path + ": " + f.errorString().toStdString());
  return SplitTextLines(bytes.toStdString());
}

}  // namespace

TScaleSettings LoadScaleSettings(const std::string &projectDir) {
  TScaleSettings s;
  s.Scales = ReadLinesIfAny(InDir(projectDir, ScaleListFile));
  const std::vector<std::string> prefix = ReadLinesIfAny(InDir(projectDir, PrefixFile));
  if (!prefix.empty()) s.Prefix = prefix.front();
  return s;
}

void SaveScaleSettings(const std::string &projectDir, const TScaleSettings &settings) {
  WriteLinesAtomic(InDir(projectDir, ScaleListFile), settings.Scales);
  if (settings.Prefix.empty())
    WriteFileAtomic(InDir(projectDir, PrefixFile), "");
  else
    WriteLinesAtomic(InDir(projectDir, PrefixFile), {settings.Prefix});
}

std::string ScaleAddressProblem(const std::string &address) {
  if (address.empty()) return "Adresa cantarului este goala !";
  for (unsigned char c : address) {
    // "/" and "\" would leave the program directory, the rest cannot be in
    // a file name on Windows, a blank would split the driver's word list.
    if (c < 0x20 || c == 0x7F || c == ' ' || std::string_view("/\\:*?\"<>|").find(char(c)) != std::string_view::npos)
      return "Adresa cantarului \"" + address +
             "\" contine caractere nepermise (spatii, / \\ : * ? \" < > |) !";
  }
  return {};
}

std::string PrefixProblem(const std::string &prefix) {
  for (char c : prefix)
    if (c < '0' || c > '9') return "Prefixul codurilor transmise contine doar cifre!\r";
  return {};
}
