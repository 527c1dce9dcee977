#include "platform/CopyModes.h"

bool IsNamedCopyMode(TCopyMode mode) {
  switch (mode) {
    case cmBlackness: case cmDstInvert: case cmMergeCopy: case cmMergePaint: case cmNotSrcCopy:
    case cmNotSrcErase: case cmPatCopy: case cmPatInvert: case cmPatPaint: case cmSrcAnd:
    case cmSrcCopy: case cmSrcErase: case cmSrcInvert: case cmSrcPaint: case cmWhiteness:
      return true;
    default:
      return false;
  }
}
