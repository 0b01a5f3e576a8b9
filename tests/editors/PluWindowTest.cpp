// What only the window of the PLU editor does: its guard while a register
// action waits, the code cell that takes typing on new rows only, the row
// colours, the Cantar cell's "..." button, numbers standing right and the
// text file's choosers.
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "AppTestSupport.h"
#include "PluTestProject.h"
#include "PluWindow.h"

namespace {

using PluWindowTest = PluProject;

QColor Background(TEPlu &w, int row) {
  const QVariant v = w.DBGrid1->model()->data(w.DBGrid1->model()->index(row, 0), Qt::BackgroundRole);
  return v.isValid() ? v.value<QBrush>().color() : QColor();
}

bool Editable(TEPlu &w, int row, int column) {
  return w.DBGrid1->model()->flags(w.DBGrid1->model()->index(row, column)) & Qt::ItemIsEditable;
}

}  // namespace

TEST_F(PluWindowTest, NothingElseStartsWhileTheRegisterIsAwaited) {
  SavePlu({{5}});
  Sim::TFaults silent;
  silent.SilentAfterFrame = 0;
  Sim.SetFaults(silent);
  TMessageLog log;
  int fileDialogs = 0;
  const auto previous = SetFileDialogHandler([&](TFileDialogMode, const QString &, const QString &, const QString &) {
    ++fileDialogs;
    return std::optional<QString>();
  });
  TEPlu w(Context);
  w.show();
  bool tried = false;
  QTimer::singleShot(100, &w, [&] {
    tried = true;
    EXPECT_TRUE(w.Busy());
    for (QPushButton *b : {w.BitBtn3, w.BitBtn4, w.BSave, w.BLoad, w.BitBtn2, w.BitBtn5, w.BitBtn6}) b->click();
    EXPECT_FALSE(Editable(w, 0, TPluLogic::colNume));  // the run owns the table
    w.reject();
    EXPECT_TRUE(w.isVisible());
  });
  w.BitBtn1->click();
  SetFileDialogHandler(previous);
  EXPECT_TRUE(tried);
  EXPECT_EQ(fileDialogs, 0);
  EXPECT_EQ(w.DBGrid1->model()->rowCount(), 1);
  ASSERT_EQ(log.Texts().size(), 1u);
  EXPECT_EQ(log.Texts()[0].toStdString(),
            "Operatie nereusita!\rCOM1 (" + Dir.Path() +
                "/sim): casa de marcat nu a raspuns 400 ms; verificati cablul si ca ea este pornita [8000]");
  EXPECT_TRUE(Editable(w, 0, TPluLogic::colNume));
  EXPECT_FALSE(Slot.Busy());  // given back after the failed read
}

TEST_F(PluWindowTest, CodeCellColoursAndTheScaleMarkButton) {
  SavePlu({{5}});
  TMessageLog log;
  TEPlu w(Context);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.BitBtn3->click();
  EXPECT_EQ(w.DBGrid1->currentIndex(), w.DBGrid1->model()->index(1, TPluLogic::colCodAlfa));
  EXPECT_TRUE(Editable(w, 1, TPluLogic::colCodAlfa));
  EXPECT_FALSE(Editable(w, 0, TPluLogic::colCodAlfa));
  EXPECT_EQ(Background(w, 1), QColor(0, 255, 255));
  EXPECT_FALSE(Background(w, 0).isValid());

  // The code cell's editor is open on the new row: letters go nowhere.
  QLineEdit *editor = nullptr;
  for (QLineEdit *e : w.DBGrid1->viewport()->findChildren<QLineEdit *>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "1a2");
  EXPECT_EQ(editor->text(), "12");
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the grid commits a Return queued
  EXPECT_EQ(Codes(w.Logic().Table()), (std::vector<int64_t>{5, 12}));
  EXPECT_EQ(w.DBGrid1->model()->data(w.DBGrid1->model()->index(1, 0)).toString(), "00000000000012");

  w.DBGrid1->setCurrentIndex(w.DBGrid1->model()->index(0, TPluLogic::colNume));
  w.BitBtn4->click();
  EXPECT_EQ(Background(w, 0), QColor(249, 68, 68));

  w.DBGrid1->setCurrentIndex(w.DBGrid1->model()->index(0, TPluLogic::colCantar));
  QToolButton *dots = w.DBGrid1->findChild<QToolButton *>(QStringLiteral("EllipsisButton"));
  ASSERT_NE(dots, nullptr);
  dots->click();
  w.Logic().GridTable().SetRecNo(1);
  EXPECT_EQ(w.Logic().Table().AsString("Cantar"), "x");
  dots->click();
  w.Logic().GridTable().SetRecNo(1);
  EXPECT_EQ(w.Logic().Table().AsString("Cantar"), "");
  for (const QString &t : log.Texts()) ADD_FAILURE() << t.toStdString();
}

TEST_F(PluWindowTest, AltPProgramsTheCellStillBeingTypedAndMovingChangesNothing) {
  SavePlu({{5}});
  SetRegisterCodes({5});
  static std::vector<std::string> warnings;
  warnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &m) {
    if (type != QtDebugMsg) warnings.push_back(m.toStdString());
  });
  TMessageLog log;
  {
    TEPlu w(Context);
    w.Logic().GridTable().SetRecNo(1);
    w.Logic().GridTable().SetInteger("CodUM", 9);  // a unit the pick list lacks
    w.Logic().GridTable().Post();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // The cursor passes over the unit, the scale mark and back to the name.
    QAbstractItemModel *m = w.DBGrid1->model();
    for (int column : {TPluLogic::colCodUM, TPluLogic::colCantar, TPluLogic::colNume})
      w.DBGrid1->setCurrentIndex(m->index(0, column));
    QApplication::processEvents();
    EXPECT_EQ(w.Logic().CellText(1, TPluLogic::colCodUM), "9");
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "PAINE NOUA");
    QTest::keyClick(editor, Qt::Key_P, Qt::AltModifier);  // "&Programare casa", the cell still open
    for (int i = 0; i < 300 && Sim.Stats().Records == 0; ++i) QTest::qWait(10);
    for (int i = 0; i < 300 && w.Busy(); ++i) QTest::qWait(10);
  }
  qInstallMessageHandler(previous);
  for (const QString &t : log.Texts()) ADD_FAILURE() << t.toStdString();
  const std::vector<std::string> lines = SimLines("D10000");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("\"PAINE NOUA\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(";9;"), std::string::npos) << lines[0];
  EXPECT_TRUE(warnings.empty()) << ::testing::PrintToString(warnings);
}

TEST_F(PluWindowTest, NumbersStandRightAndTheTextFileKeepsToTxt) {
  SavePlu({{5}});
  TMessageLog log;
  TEPlu w(Context);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  const QAbstractItemModel *m = w.DBGrid1->model();
  for (int c : {TPluLogic::colCodAlfa, TPluLogic::colCodDep, TPluLogic::colCodUM, TPluLogic::colPret1,
                TPluLogic::colPret2, TPluLogic::colLinkPLU})
    EXPECT_EQ(m->data(m->index(0, c), Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter)) << c;
  EXPECT_FALSE(m->data(m->index(0, TPluLogic::colNume), Qt::TextAlignmentRole).isValid());
  // The typing in a price stays where the price shows.
  w.DBGrid1->setCurrentIndex(m->index(0, TPluLogic::colPret1));
  QLineEdit *editor = nullptr;
  for (QLineEdit *e : w.DBGrid1->viewport()->findChildren<QLineEdit *>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->alignment() & Qt::AlignRight);

  // Saved as "export": the file is export.txt; the import offers every file.
  QStringList filters;
  const auto previous = SetFileDialogHandler(
      [&](TFileDialogMode mode, const QString &, const QString &dir, const QString &filter) -> std::optional<QString> {
        filters << filter;
        if (mode == TFileDialogMode::Save) return dir + QStringLiteral("/export");
        return std::nullopt;
      });
  w.BSave->click();
  w.BLoad->click();
  SetFileDialogHandler(previous);
  const QString dir = QString::fromStdString(Context.Dir);
  EXPECT_TRUE(QFileInfo::exists(dir + "/export.txt"));
  EXPECT_FALSE(QFileInfo::exists(dir + "/export"));
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(filters[0], "Fisier text (*.txt)");
  EXPECT_EQ(filters[1], "Fisier text (*.txt);;Toate fisierele (*)");
  EXPECT_TRUE(log.Texts().empty());
}
