// A CSV file printed as a grid: its records go into a string grid, the grid print lays them
// out over A4 pages of a page list, no window involved (header row repeated on every page when asked, lines and
// border on, "Page n of  N" in the footer) and the pages are written as a PDF file.
#pragma once
#include <QString>
#include <cstdio>
#include <memory>
#include "app/CsvReader.h"
#include "platform/StringGrid.h"
#include "preview/grid/Vugridprint.h"
#include "preview/document/Vupagelist.h"

// The laid-out document; the grid print goes first when it is destroyed.
struct TGridDocument {
  std::unique_ptr<TVuPageList> Pages;
  std::unique_ptr<TStringGrid> Grid;
  std::unique_ptr<TVuGridPrint> GridPrint;
};

// Builds the grid from the table (header: the first record is the fixed heading row) and
// lays it out. Raises when the table has no records.
std::unique_ptr<TGridDocument> NewGridDocument(const TCsvTable& table, bool header, TVuPaperSize paper = A4);

// Reads the CSV file ("-": standard input), lays it out on the paper and writes pdfFile ("-":
// onto out); writes "<rows> rows, <pages> pages" on out (on err when the PDF takes out).
// Errors raise (the CSV error with its line number, the file and printer errors).
void RunGridPdf(const QString& csvFile, const QString& pdfFile, bool header, TVuPaperSize paper, FILE* out,
                FILE* err);
