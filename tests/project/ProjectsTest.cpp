#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "Projects.h"

TEST(ProjectName, NamesThatCouldLeaveTheProgramDirectoryAreRefused) {
  const QString chars =
      QStringLiteral("Numele proiectului nu poate contine caracterele \\ / : * ? \" < > | !");
  for (const char *name : {"../afara", "a/b", "a\\b", "/etc", "c:", "a*", "a?", "a\"b", "<a>", "a|b"})
    EXPECT_EQ(ProjectNameProblem(QString::fromLatin1(name)), chars) << name;
  const QString dots = QStringLiteral("Numele proiectului nu poate fi \".\" sau \"..\" !");
  EXPECT_EQ(ProjectNameProblem("."), dots);
  EXPECT_EQ(ProjectNameProblem(".."), dots);
  const QString ending = QStringLiteral("Numele proiectului nu se poate termina cu spatiu sau punct !");
  EXPECT_EQ(ProjectNameProblem("Magazin "), ending);
  EXPECT_EQ(ProjectNameProblem("Magazin."), ending);
  EXPECT_EQ(ProjectNameProblem(QString("a\tb")),
            "Numele proiectului nu poate contine caractere de control !");
  EXPECT_EQ(ProjectNameProblem(QString("a") + QChar(0x7F)),
            "Numele proiectului nu poate contine caractere de control !");
  for (const char *name : {"CON", "nul", "Com1", "LPT9.txt", "aux.dat"})
    EXPECT_EQ(ProjectNameProblem(QString::fromLatin1(name)),
              "Numele proiectului este rezervat de sistem !")
        << name;
  EXPECT_EQ(ProjectNameProblem(QString::fromUtf8("Магазин")),
            "Numele proiectului contine caractere care nu exista in pagina de cod Windows-1250 !");
  EXPECT_EQ(ProjectNameProblem(""), "Introdu numele noului proiect!\r");
}

TEST(ProjectName, OrdinaryNamesPass) {
  for (const char *name : {"Magazin", " cu blanc in fata", "Proiect 2.1", "COM10", "CONSOLA",
                           "Brutărie Ştefan", "...a", "x-y_z (copie)"})
    EXPECT_EQ(ProjectNameProblem(QString::fromUtf8(name)), QString()) << name;
}

TEST(CreateProject, MessagesAndTheDirectory) {
  QTemporaryDir tmp;
  const QString root = tmp.path() + "/";
  EXPECT_EQ(CreateProjectDirectory(root, "A"), QString());
  EXPECT_TRUE(QFileInfo(root + "A").isDir());
  EXPECT_EQ(CreateProjectDirectory(root, "A"), "Exista deja un proiect cu acest nume !");
  EXPECT_EQ(CreateProjectDirectory(root, ""), "Introdu numele noului proiect!\r");
  // Nothing is created for a refused name.
  EXPECT_NE(CreateProjectDirectory(root, "../B"), QString());
  EXPECT_FALSE(QFileInfo(tmp.path() + "/../B").exists());

  // A file in the way cannot become a directory.
  QFile blocker(root + "fisier");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_EQ(CreateProjectDirectory(root, "fisier"), "Nu pot crea directorul " + root + "fisier");
  // Nor can anything be created under it, parents included.
  EXPECT_EQ(CreateProjectDirectory(root + "fisier/", "C"),
            "Nu pot crea directorul " + root + "fisier/C");
  // Missing parents of the program directory are made.
  EXPECT_EQ(CreateProjectDirectory(root + "nou/", "D"), QString());
  EXPECT_TRUE(QFileInfo(root + "nou/D").isDir());
}

TEST(OpenProject, OnlyTheLastComponentCounts) {
  EXPECT_EQ(ProjectNameFromFolder("/home/u/prog/Magazin"), "Magazin");
  EXPECT_EQ(ProjectNameFromFolder("/home/u/prog/Magazin/"), "Magazin");
  EXPECT_EQ(ProjectNameFromFolder("/home/u/prog/Magazin/sub/Adanc"), "Adanc");
  EXPECT_EQ(ProjectNameFromFolder("/home/u/prog/Magazin/.."), "prog");
  EXPECT_EQ(ProjectNameFromFolder("/"), "");
  EXPECT_EQ(ProjectNameFromFolder(""), "");
}
