#include "BlockEditorWindow.h"

#include <cstdlib>

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>

#include "EditorWindowParts.h"
#include "UserDialogs.h"
#include "VerifyWindow.h"

TESP *ESP = nullptr;
TESO *ESO = nullptr;

namespace {

// The list shows its values in blue bold.
class TManModel : public TRecordSetModel {
 public:
  using TRecordSetModel::TRecordSetModel;
  QVariant data(const QModelIndex &index, int role) const override {
    if (index.isValid() && index.column() == 1) {
      if (role == Qt::ForegroundRole) return QBrush(Qt::blue);
      if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
      }
    }
    return TRecordSetModel::data(index, role);
  }
};

// Bold 12-point "MS Sans Serif", or the nearest narrow face where it is
// missing; a face wider than the one the columns were measured for gets a
// smaller size, so that no description is ever cut.
QFont ListFont(const TBlockDescription &description) {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                    QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed")});
  font.setBold(true);
  for (int points = 12; points >= 8; --points) {
    font.setPointSize(points);
    const QFontMetrics m(font);
    int widest = 0;
    for (const TPositionDescription &p : description.Positions)
      widest = std::max(widest, m.horizontalAdvance(QString::fromLatin1(p.Text)));
    if (widest + 12 <= description.DescriptionWidth) break;
  }
  return font;
}

}  // namespace

TBlockEditorWindow::TBlockEditorWindow(const TProjectContext &context, const QString &objectName,
                                       const QString &caption, const TBlockDescription &description,
                                       int clientWidth, int clientHeight, QWidget *parent)
    : TEditorDialog(objectName, caption, parent),
      FLogic(std::make_unique<TBlockEditor>(context, description)) {
  DsMan = new TManModel(*FLogic, this);
  DsMan->OnRefused = [](const QString &why) { ShowError(why); };
  GMan = new TEditorGrid(*DsMan, this);
  GMan->setObjectName(QStringLiteral("GMan"));
  GMan->setFont(ListFont(description));
  GMan->verticalHeader()->setDefaultSectionSize(GMan->fontMetrics().height() + 6);
  GMan->verticalHeader()->hide();
  QPalette pal = GMan->palette();
  pal.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));  // silver
  GMan->setPalette(pal);
  GMan->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

  // The block table's grid: kept for what it knows (which positions of a
  // block take typing), never shown.
  Ds = new TRecordSetModel(FLogic->BlockGrid(), this);
  DBGrid1 = new TEditorGrid(*Ds, this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->hide();

  BitBtn1 = AddRegisterButton(Panel1, "BitBtn1", QStringLiteral("&Citire din casa"), [this] { BitBtn1Click(); });
  BSave = AddRegisterButton(Panel1, "BSave", QStringLiteral("&Programare casa"), [this] { BSaveClick(); });
  BProgramChanges = AddRegisterButton(Panel1, "BProgramChanges", ProgramChangesCaption, [this] { BProgramChangesClick(); },
                              false);
  BVerify = AddRegisterButton(Panel1, "BVerify", VerifyCaption, [this] { BVerifyClick(); }, false);
  AllowRegisterButton(BSave, FLogic->ProgramAllowed());
  AllowRegisterButton(BProgramChanges, FLogic->ProgramAllowed());
  SetRegisterSlot(FLogic->Context().Slot);
  BStop = AddCloseButton(*this);
  LayOutGridWindow(*this, GMan, BitBtn1, BSave, BStop, BVerify, BProgramChanges);
  FixSizeAndCentre(clientWidth, clientHeight);
  ToFirstRow();
  GMan->setFocus();
}

TBlockEditorWindow::~TBlockEditorWindow() {
  delete GMan;
  delete DsMan;
  delete DBGrid1;
  delete Ds;
}

void TBlockEditorWindow::ToFirstRow() {
  if (DsMan->rowCount() == 0) return;
  GMan->setCurrentIndex(DsMan->index(0, 1));
  GMan->scrollToTop();
}

void TBlockEditorWindow::BitBtn1Click() {
  if (!CommitTyping(GMan)) return;
  const TActionResult result = FLogic->Read(Gauge());
  // The list was rebuilt behind the model.
  DsMan->Refresh();
  Ds->Refresh();
  ToFirstRow();
  AllowRegisterButton(BSave, FLogic->ProgramAllowed());
  AllowRegisterButton(BProgramChanges, FLogic->ProgramAllowed());
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TBlockEditorWindow::BSaveClick() {
  if (!CommitTyping(GMan)) return;
  const TActionResult result = FLogic->Program(Gauge());
  ToFirstRow();
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TBlockEditorWindow::BProgramChangesClick() {
  if (!CommitTyping(GMan)) return;
  const TActionResult result = ProgramChangesOrAll(*this, *FLogic);
  ToFirstRow();
  HideStaleVerify(EVerify, *FLogic);
  ShowFailure(result);
}

void TBlockEditorWindow::BVerifyClick() {
  if (!CommitTyping(GMan)) return;
  ShowFailure(VerifyAndShow(
      *this, *FLogic, GMan, EVerify, BlockWording,
      [this](const TDifference &d, const std::string &field) { GoToPosition(d.Code, field); },
      // A described position is named as the list names it too.
      [this](const TDifference &d, const std::string &field) {
        return QString::fromLatin1(FLogic->PositionTitle(d.Code, field).c_str());
      }));
}

void TBlockEditorWindow::GoToPosition(int64_t block, const std::string &field) {
  const int recNo = FLogic->ListRowOf(block, field);
  if (recNo < 1) return;  // a block without described positions is not in the list
  GMan->setCurrentIndex(DsMan->index(recNo - 1, 1));
  GMan->scrollTo(DsMan->index(recNo - 1, 1));
  activateWindow();
  GMan->setFocus();
}

TESP::TESP(const TProjectContext &context, QWidget *parent)
    : TBlockEditorWindow(context, QStringLiteral("ESP"), QStringLiteral("Fisier Parametri Sistem"), SPBlocks(), 496, 499,
                         parent) {}

TESO::TESO(const TProjectContext &context, QWidget *parent)
    : TBlockEditorWindow(context, QStringLiteral("ESO"), QStringLiteral("Fisier Optiuni Sistem"), SOBlocks(), 583, 500,
                         parent) {}
