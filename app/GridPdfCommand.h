// A CSV file printed as a grid: the grid print lays its records out over A4 pages of a page
// list, no window involved (header row repeated on every page when asked, lines and border
// on, "Page n of  N" in the footer) and the pages are written as a PDF file.
#pragma once
#include <QString>
#include <cstdio>
#include <memory>
#include "app/CsvGridPrint.h"
#include "app/CsvReader.h"
#include "preview/document/Vupagelist.h"

// The document to lay out; the grid print goes first when it is destroyed.
struct TGridDocument {
  std::unique_ptr<TVuPageList> Pages;
  std::unique_ptr<TCsvGridPrint> GridPrint;
  // Where the grid starts on a page and how wide it is, in inches.
  Extended Left = 0, Top = 0, Width = 0;

  // Lays the whole grid out on Pages, every page held.
  void LayOut();
  // Prints the grid into a PDF file as it is laid out, a sheet at a time, so only the
  // pages of one sheet are held; the pages are counted first for "of N" in the footer.
  // Gives the number of pages; raises the file's or the printer's error (no file is then made).
  int PrintTo(const QString& pdfFile);
};

// The page list (one empty page on the paper, the margins and the footer) and the grid print
// over the table (header: the first record is the fixed heading row), not yet laid out.
// Raises when the table has no records.
std::unique_ptr<TGridDocument> NewGridDocument(TCsvTable table, bool header, TVuPaperSize paper = A4);

// Reads the CSV file ("-": standard input), lays it out on the paper and writes pdfFile ("-":
// onto out); writes "<rows> rows, <pages> pages" on out (on err when the PDF takes out).
// Errors raise (the CSV error with its line number, the file and printer errors).
void RunGridPdf(const QString& csvFile, const QString& pdfFile, bool header, TVuPaperSize paper, FILE* out,
                FILE* err);
