// A page file written a part at a time, for documents too long to hold: pages are recorded
// in a page list as usual, and every few pages they are written out and freed with their
// pictures. The file is the one SaveToFile writes for the whole document, except that a
// picture shared by pages of different parts is stored once per part.
#pragma once
#include <QString>
#include <QTemporaryFile>
#include "platform/Files.h"
#include "preview/document/Vupagelist.h"

class TVuPageFileWriter {
 public:
  // document: the list to record into; its paper, header, footer and margins are the file's
  // (as they are when Finish is called), and its pages become the file's first pages (a
  // single empty page is dropped). pagesHeld: how many pages are kept before they are
  // written out.
  TVuPageFileWriter(TVuPageList& document, QString fileName, int pagesHeld = 64);
  TVuPageFileWriter(const TVuPageFileWriter&) = delete;
  TVuPageFileWriter& operator=(const TVuPageFileWriter&) = delete;
  // Without Finish nothing is written: an existing file stays as it was.
  ~TVuPageFileWriter();

  // A new, current page of the document to record on; the pages held are written out first
  // when there are pagesHeld of them.
  TVuPage* NewPage();
  // Writes the file: a new file beside fileName renamed over it once complete, so a failed
  // write (raised as the file's error) leaves any existing file as it was.
  void Finish();

  int PagesWritten() const { return FPagesWritten; }
  int PagesHeld() const { return FDocument.Count(); }

 private:
  // Appends the pages held and their pictures to the two parts and frees them.
  void WriteHeld();
  // The whole file into the output's temporary file, then put in place.
  void WriteFile(const TOutputTemporary& output);

  TVuPageList& FDocument;
  QString FFileName;
  int FPagesHeld;
  // The graphic records and the page records written so far, each as it will stand in the
  // file (picture end positions counted from the start of their part).
  QTemporaryFile FPictures, FPages;
  int FPicturesWritten = 0;
  int FPagesWritten = 0;
};
