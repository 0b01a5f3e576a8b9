#include "EditorLogic.h"

#include "ProjectTables.h"
#include "RegisterImage.h"
#include "TableFile.h"

TActionResult TEditorLogic::BusyResult() {
  return TActionResult::Failure("O alta operatie cu casa de marcat este in curs.\r");
}

TActionResult TEditorLogic::SaveTable(TTableId id, const TRecordSet &table) const {
  try {
    SaveProjectTable(FContext.Dir, id, table);
  } catch (const ETableFile &e) {
    return TActionResult::Failure(std::string(e.what()) + "\r");
  }
  return TActionResult::Success();
}

TActionResult TEditorLogic::SaveWithImage(TTableId id, const TRecordSet &table, const TRecordSet *image) const {
  if (!image) return SaveTable(id, table);
  try {
    SaveTableFiles({{ProjectTablePath(FContext.Dir, id), &table}, {RegisterImagePath(FContext.Dir, id), image}});
  } catch (const ETableFile &e) {
    return TActionResult::Failure(std::string(e.what()) + "\r");
  }
  return TActionResult::Success();
}
