// Every sheet --labels can name: the built-in table, then the *.sheet files of the user's
// sheet folder in name order, then a file given on the command line. A later sheet of the
// same name replaces an earlier one, so a user can correct a built-in geometry.
#pragma once
#include <QString>
#include <optional>
#include <vector>
#include "labels/LabelSheet.h"

// $XDG_CONFIG_HOME/velean13/sheets, or ~/.config/velean13/sheets when it is not set.
QString UserSheetFolder();

class TSheetCatalog {
 public:
  // Raises ESheetFile (or EFOpenError) for the first bad file; extraFile may be empty.
  explicit TSheetCatalog(const QString& extraFile = {}, const QString& userFolder = UserSheetFolder());
  const std::vector<TLabelSheet>& Sheets() const { return FSheets; }
  // By name or stock number, case ignored.
  std::optional<TLabelSheet> Find(const QString& name) const;
  // One sheet a line: name, paper, COLSxROWS, WxH mm, description, tab-separated.
  QString ListText() const;

 private:
  void Add(const TLabelSheet& sheet);
  std::vector<TLabelSheet> FSheets;
};
