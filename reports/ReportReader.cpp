#include "ReportReader.h"

#include <exception>

#include "AtomicFile.h"
#include "PartialLines.h"
#include "TarvoCore.h"

std::string TReportOutcome::PartialNote() const {
  if (!HasPartial()) return {};
  const std::string count = std::to_string(PartialCount);
  if (!PartialPath.empty())
    return "Cele " + count + " linii primite inainte de eroare sunt salvate in fisierul\r" + PartialPath;
  return "Cele " + count + " linii primite inainte de eroare nu au putut fi salvate: " + PartialError;
}

TReportOutcome TReportReader::Read(TReportKind kind) {
  const TReportDef &def = ReportDef(kind);
  TReportOutcome out;
  out.Title = def.Title;
  TLineList received;
  {
    TRegisterSession session(FContext, false);
    if (!session.Open(out.Result)) return out;
    bool ok = false;
    try {
      ok = session.Link().ReadLines(def.Command, received);
    } catch (const std::exception &e) {
      // The port failed under the read; what arrived before still counts.
      out.Result.Reason = session.Link().LastError() + " " + e.what();
    }
    if (!ok) {
      out.Result.Ok = false;
      out.Result.Message = OperationFailedMessage;
      if (out.Result.Reason.empty()) out.Result.Reason = session.Link().LastError();
    }
  }
  if (!out.Result.Ok && !received.empty() && ClearsWhatItReports(def.Command)) {
    out.PartialCount = received.size();
    try {
      out.PartialPath = SavePartialLines(FContext.Dir, PartialReportPrefix, PartialReportSuffix, received);
    } catch (const EFileWrite &e) {
      out.PartialError = e.what();
    }
  }
  out.Lines = std::move(received);
  return out;
}
