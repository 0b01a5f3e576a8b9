// Qt's own texts in Romanian: found beside the executable and where it is
// installed; missing or damaged, Qt stays English and says nothing. The
// choosers' sizes, which Qt takes from the system's locale instead.
#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "Application.h"
#include "FileChooser.h"

namespace {

int QtMessages = 0;

void CountMessage(QtMsgType, const QMessageLogContext &, const QString &) { ++QtMessages; }

// What a user sees of Qt's own texts: a file chooser's label and buttons,
// the standard buttons, a text field's context menu.
QStringList QtTexts() {
  QFileDialog chooser(nullptr, QStringLiteral("Import fisier text"));
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  auto *chooserButtons = chooser.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
  QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No);
  QLineEdit edit(QStringLiteral("12,50"));
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList items;  // Undo, Redo, Cut, Copy...
  for (const QAction *a : menu->actions())
    if (!a->isSeparator()) items << a->text().section(u'\t', 0, 0);
  return {chooser.findChild<QLabel *>(QStringLiteral("lookInLabel"))->text(),
          chooserButtons->button(QDialogButtonBox::Save)->text(),
          chooserButtons->button(QDialogButtonBox::Cancel)->text(),
          box.button(QDialogButtonBox::Yes)->text(),
          items.value(3)};
}

}  // namespace

TEST(QtTranslation, RomanianWhenTheCatalogueIsThereEnglishOtherwise) {
  const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/qtbase_ro.qm");
  ASSERT_TRUE(QFile::exists(built)) << "the build puts the catalogue beside the executables";
  QTemporaryDir installed, missing, damaged;
  // An installed program: bin/ and share/tarvoprog/translations/ of one prefix.
  ASSERT_TRUE(QDir().mkpath(installed.path() + QStringLiteral("/share/tarvoprog/translations")));
  ASSERT_TRUE(QFile::copy(built, installed.path() + QStringLiteral("/share/tarvoprog/translations/qtbase_ro.qm")));
  QFile junk(damaged.path() + QStringLiteral("/bin/qtbase_ro.qm"));
  ASSERT_TRUE(QDir().mkpath(damaged.path() + QStringLiteral("/bin")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("not a catalogue") > 0);
  junk.close();

  const QStringList romanian = {"Cauta in:", "&Salveaza", "Anuleaza", "&Da", "&Copiaza"};
  const QStringList english = {"Look in:", "&Save", "Cancel", "&Yes", "&Copy"};
  const struct {
    const char *Where;
    QString ExecutableDir;
    bool Loaded;
  } cases[] = {
      {"build tree", QCoreApplication::applicationDirPath(), true},
      {"installed", installed.path() + QStringLiteral("/bin"), true},
      {"missing", missing.path() + QStringLiteral("/bin"), false},
      {"damaged", damaged.path() + QStringLiteral("/bin"), false},
  };
  for (const auto &c : cases) {
    QtMessages = 0;
    const QtMessageHandler previous = qInstallMessageHandler(CountMessage);
    const bool loaded = LoadQtTranslation(QtTranslationDirs(c.ExecutableDir));
    qInstallMessageHandler(previous);
    EXPECT_EQ(loaded, c.Loaded) << c.Where;
    EXPECT_EQ(QtMessages, 0) << c.Where;
    EXPECT_EQ(QtTexts(), c.Loaded ? romanian : english) << c.Where;
  }
  LoadQtTranslation(QtTranslationDirs(QCoreApplication::applicationDirPath()));
}

TEST(QtTranslation, TheChoosersWriteSizesInRomanian) {
  const struct {
    qint64 Bytes;
    const char *Shown;
  } sizes[] = {{0, "0 octeti"}, {1, "1 octet"}, {1023, "1023 octeti"}, {1536, "1,5 KB"},
               {5 * 1024 * 1024 + 1, "5,0 MB"}, {qint64(3) << 40, "3,0 TB"}};
  for (const auto &c : sizes) EXPECT_EQ(FileSizeText(c.Bytes), c.Shown) << c.Bytes;

  // In the chooser's detail view.
  QTemporaryDir dir;
  QFile file(dir.filePath(QStringLiteral("export.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(2048, 'x')) == 2048);
  file.close();
  QFileDialog chooser(nullptr, QStringLiteral("Import fisier text"), dir.path());
  UseProgramWording(chooser);
  auto *view = chooser.findChild<QTreeView *>(QStringLiteral("treeView"));
  ASSERT_NE(view, nullptr);
  QString shown;
  for (int i = 0; i < 500 && shown.isEmpty(); ++i) {  // the sizes come from a thread of Qt's
    QTest::qWait(10);
    const QModelIndex at = view->model()->index(0, 1, view->rootIndex());
    shown = at.data().toString();
  }
  EXPECT_EQ(shown, "2,0 KB");
}
