// Preview control: the stored text form of the margins, "MarginValues": four margins in
// twips and the two margin pens as comma-separated items, quoted where an item needs it.
#include "platform/Errors.h"
#include "platform/SysUtils.h"
#include "preview/view/Vupreview.h"

namespace {
bool NeedsQuotes(const QString& item) {
  for (QChar c : item)
    if (c == u',' || c == u'"' || c <= u' ') return true;
  return false;
}

QString QuoteItem(const QString& item) {
  if (!NeedsQuotes(item)) return item;
  QString quoted = item;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

bool IsBlank(QChar c) { return c <= u' '; }

// Items are separated by commas or by blanks outside quotes; a quoted item may hold both,
// with a doubled quote standing for one.
QStringList SplitItems(const QString& text) {
  QStringList items;
  const qsizetype n = text.size();
  qsizetype i = 0;
  auto skipBlanks = [&] {
    while (i < n && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  while (i < n) {
    QString item;
    if (text[i] == u'"') {
      ++i;
      while (i < n) {
        if (text[i] == u'"') {
          if (i + 1 < n && text[i + 1] == u'"') {
            item += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      while (i < n && text[i] != u',' && !IsBlank(text[i])) item += text[i++];
    }
    items.append(item);
    skipBlanks();
    if (i < n && text[i] == u',') {
      ++i;
      skipBlanks();
      // A trailing comma stands for one more, empty item.
      if (i == n) items.append(QString());
    }
  }
  return items;
}
}  // namespace

QString TVuPreview::GetMarginValues() const {
  const TVuMargins& m = Margins();
  const QStringList items = {QString::number(m.Left().GetAsTwips()),   QString::number(m.Top().GetAsTwips()),
                             QString::number(m.Right().GetAsTwips()),  QString::number(m.Bottom().GetAsTwips()),
                             PenToString(m.Pen()),                     PenToString(m.PrinterMarginPen())};
  QStringList quoted;
  for (const QString& item : items) quoted.append(QuoteItem(item));
  return quoted.join(u',');
}

void TVuPreview::SetMarginValues(const QString& text) {
  const QStringList items = SplitItems(text);
  auto item = [&](int index) -> const QString& {
    if (index >= items.size()) RaiseListIndexError(index);
    return items[index];
  };
  TVuMargins& m = Margins();
  m.Left().SetAsTwips(StrToInt(item(0)));
  m.Top().SetAsTwips(StrToInt(item(1)));
  m.Right().SetAsTwips(StrToInt(item(2)));
  m.Bottom().SetAsTwips(StrToInt(item(3)));
  if (items.size() == 4) return;
  TPen pen = m.Pen();
  PenFromString(pen, item(4));
  m.SetPen(pen);
  TPen printerPen = m.PrinterMarginPen();
  PenFromString(printerPen, item(5));
  m.SetPrinterMarginPen(printerPen);
}
