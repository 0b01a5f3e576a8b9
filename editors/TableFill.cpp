#include "TableFill.h"

#include "FieldText.h"
#include "RecordSet.h"

TTableWork::TTableWork(TRecordSet &table, TProgress *progress) : FTable(table), FProgress(progress) {
  FTable.DisableControls();
}

TTableWork::~TTableWork() {
  if (FTable.State() != dsBrowse) FTable.Cancel();
  if (FProgress) FProgress->End();
  if (!FTable.IsEmpty()) FTable.First();
  FTable.EnableControls();
}

int FillTable(const TTableDescription &description, const TLineList &lines, TRecordSet &table,
              TProgress &progress, bool eachLine) {
  // The fields the table's file has, resolved once; a field it lacks is
  // simply not stored.
  std::vector<std::pair<const TLineField *, int>> targets;
  int codField = -1;
  for (const TLineField &lf : description.Line) {
    const int f = table.FieldIndex(lf.Field);
    if (lf.Position == 1) codField = f;
    else if (f >= 0) targets.push_back({&lf, f});
  }

  progress.Begin(int(lines.size()));
  TTableWork work(table, &progress);
  if (codField < 0) return 0;  // no Cod, no row could be found again
  int taken = 0;
  TLineList fields;
  for (size_t i = 0; i < lines.size(); ++i) {
    progress.Step(int(i + 1));
    LetEventsRun();
    fields.clear();
    SplitText(lines[i], ';', fields);
    if (fields.size() != description.FieldCount) continue;
    const int32_t cod = WholeOr(fields[1], 0);
    if (!eachLine && table.FindKey(cod)) {
      table.Edit();
    } else {
      table.Append();
      table.SetInteger(codField, cod);
    }
    for (const auto &[lf, f] : targets) {
      const std::string &text = fields[size_t(lf->Position)];
      switch (lf->How) {
        case TLineValue::Whole: table.SetInteger(f, WholeOr(text, lf->Fallback)); break;
        case TLineValue::Name: table.SetString(f, WithoutQuotes(text)); break;
        case TLineValue::Text: table.SetString(f, text); break;
      }
    }
    table.Post();
    ++taken;
  }
  return taken;
}
