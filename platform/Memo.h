// Text controls that the page engine's memo list can hold: the plain memo and the
// rich-text control.
#pragma once
#include <QPlainTextEdit>
#include <QTextEdit>

class TMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  using QPlainTextEdit::QPlainTextEdit;
};

class TRichEdit : public QTextEdit {
  Q_OBJECT
 public:
  using QTextEdit::QTextEdit;
};

// The text as plain text, whichever kind of control holds it.
QString MemoPlainText(const QWidget* memo);
// Copies the text, with its formatting when both are rich-text controls.
void CopyMemoText(const QWidget* from, QWidget* to);
