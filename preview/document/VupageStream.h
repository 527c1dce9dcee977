// A print job fed a page at a time, for documents too long to hold: pages are recorded in a
// page list as usual, and whenever a sheet's worth is there they are printed into the open
// job and freed with their resources. Memory stays that of one sheet however many pages the
// job prints.
#pragma once
#include <QString>
#include "preview/document/Vupagelist.h"

class TVuPageStreamJob {
 public:
  // document: the list to record into; its paper, margins, header, footer, pages per sheet
  // and printer are the job's, and its pages become the job's first pages (a single empty
  // page is dropped). outputFile: a PDF file, written in one piece when the job finishes;
  // empty: the printer's spooler.
  TVuPageStreamJob(TVuPageList& document, QString outputFile);
  // A job that has not finished is aborted: no file, nothing spooled.
  ~TVuPageStreamJob();
  TVuPageStreamJob(const TVuPageStreamJob&) = delete;
  TVuPageStreamJob& operator=(const TVuPageStreamJob&) = delete;

  // A new, current page of the document to record on. When the pages held fill a sheet,
  // they are printed and let go first. The job starts with the first sheet printed.
  TVuPage* NewPage();
  // Prints the pages still held and ends the job; raises the printer's or the file's error
  // (the job is then aborted). Without a single page nothing is printed and no file made.
  void Finish();

  int PagesPrinted() const { return FPrinted; }
  // Pages recorded and not printed yet: at most one sheet's.
  int PagesHeld() const { return FDocument.Count(); }
  int PagesPerSheet() const;
  // Printed pages go without their pictures, pens and fonts, which the pages to come use
  // too (pages read from a page file share its resource table).
  void KeepResources() { FKeepResources = true; }
  // The number of pages the whole job will print, when known, for "of N" in headers and
  // footers; otherwise the pages known so far are the whole.
  void SetTotalPages(int total) { FTotalPages = total; }
  // The spooler's id of the finished job; 0 for a PDF file.
  int JobId() const { return FJobId; }

 private:
  // Prints the pages held into the job (starting it on the first sheet) and frees them.
  void PrintHeld();
  void PrintPages();

  TVuPageList& FDocument;
  QString FOutputFile;
  bool FStarted = false;
  bool FFinished = false;
  bool FKeepResources = false;
  int FTotalPages = 0;
  int FPrinted = 0;
  int FJobId = 0;
};
