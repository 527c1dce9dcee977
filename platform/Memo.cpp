#include "platform/Memo.h"

QString MemoPlainText(const QWidget* memo) {
  if (auto* rich = qobject_cast<const QTextEdit*>(memo)) return rich->toPlainText();
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(memo)) return plain->toPlainText();
  return QString();
}

void CopyMemoText(const QWidget* from, QWidget* to) {
  auto* richFrom = qobject_cast<const QTextEdit*>(from);
  if (auto* richTo = qobject_cast<QTextEdit*>(to)) {
    if (richFrom) richTo->setHtml(richFrom->toHtml());
    else richTo->setPlainText(MemoPlainText(from));
  } else if (auto* plainTo = qobject_cast<QPlainTextEdit*>(to)) {
    plainTo->setPlainText(MemoPlainText(from));
  }
}
