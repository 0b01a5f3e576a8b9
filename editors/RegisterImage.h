// What the register was last known to hold, table by table: the rows of the
// last successful read (the rows the answer gave, none other), or the rows
// the register acknowledged in the last programming run, laid over what was
// known before. A run that stops half-way thus leaves an image that tells
// exactly which rows got through.
//
// The image lives beside the table file as "<table>.registru"
// ("Departamente.registru", "PLU.registru"), a table file of the same format
// that no editor opens. It only ever decides which rows a changes run may
// leave out; a run never sends a row from it. A file that cannot be read
// counts as no image, and the reason goes with it to whoever asked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "ActionResult.h"
#include "RecordSet.h"
#include "Schemas.h"

// projectDir + "/" + the table file's name with ".registru" for ".cds".
std::string RegisterImagePath(const std::string &projectDir, TTableId id);

struct TRegisterImage {
  bool Known = false;   // an image exists and could be read
  std::string Problem;  // why an image file that exists counts as none
  TRecordSet Rows;      // with the fields asked for, Cod order
};

// The image of a table with the given fields (those of the open table):
// fields the file lacks stay empty, fields it has beyond them are left out.
TRegisterImage LoadRegisterImage(const std::string &projectDir, TTableId id, const std::vector<TFieldDef> &fields);

// Writes rows as the table's image; a failure comes back with the file
// layer's message and leaves the older image as it was. (A table and its
// image that change together are saved with TEditorLogic::SaveWithImage.)
TActionResult SaveRegisterImage(const std::string &projectDir, TTableId id, const TRecordSet &rows);
// Removes the table's image: for when the register took rows the older
// image tells otherwise of, and the newer one could not be written. A
// changes run then asks for a full run instead of leaving a row out.
void DropRegisterImage(const std::string &projectDir, TTableId id);

// How a table's row becomes what the register keys and stores: its code and
// the text of the record a programming run sends for it.
struct TRowRecord {
  std::function<int64_t(const TRecordSet &, int recNo)> Code;
  std::function<std::string(const TRecordSet &, int recNo)> Text;
};

// The rows (numbers from 1, Cod order) a changes run sends: those whose
// record text is not the image's for their code, those whose code the image
// lacks, every row of a code the table holds more than once (a full run
// sends them all, and the last one is what the register keeps), and the
// rows always(recNo) insists on.
std::vector<int> ChangedRows(const TRecordSet &table, const TRecordSet &image, const TRowRecord &record,
                             const std::function<bool(int recNo)> &always = {});

// Whether the image holds the code with a record other than text: once the
// register has taken text for that code, such an image is no longer true.
bool ImageDiffers(TRecordSet &image, int64_t code, const std::string &text, const TRowRecord &record);

// The image after the register took row recNo of table (whose fields it
// has): the image's row with that code takes its values, or is appended.
void PutImageRow(TRecordSet &image, const TRecordSet &table, int recNo, int64_t code);
// The image after the register dropped the code.
void DropImageRow(TRecordSet &image, int64_t code);

// One row per code, the last of each (a read applies its lines in order, so
// the register's last line for a code is what a read leaves).
TRecordSet LastRowPerCode(const TRecordSet &rows, const std::function<int64_t(const TRecordSet &, int)> &code);
