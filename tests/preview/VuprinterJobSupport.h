// Helpers for tests of the engine's print job.
#pragma once
#include <functional>
#include <vector>
#include "preview/printer/Vuprinter.h"

// Drives a job as the page list does: the first page's orientation before BeginDoc, each
// following page's before its NewPage; draw(page) draws each page.
inline void RunJob(TVuPrinter& printer, TVuPagesPerSheet perSheet, const std::vector<TVuOrientation>& pages,
                   const std::function<void(int)>& draw = {}) {
  printer.SetOrientation(pages.front());
  printer.SetPagesPerSheet(perSheet);
  printer.BeginDoc();
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) {
      printer.SetOrientation(pages[i]);
      printer.NewPage();
    }
    if (draw) draw(int(i) + 1);
  }
  printer.EndDoc();
}

// A black box from (left, top) to (right, bottom), right and bottom left out.
inline void BlackBox(TCanvas& c, int left, int top, int right, int bottom) {
  c.Pen().Style = psClear;
  c.Brush().Color = clBlack;
  c.Rectangle(left, top, right, bottom);
}

