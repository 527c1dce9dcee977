#include "platform/PrinterBackend.h"
#include <algorithm>

int TDevicePicture::metric(PaintDeviceMetric m) const {
  const TDeviceGeometry& g = FGeometry;
  switch (m) {
    case PdmWidth: return g.PrintableWidth;
    case PdmHeight: return g.PrintableHeight;
    case PdmWidthMM: return g.PpiX > 0 ? int(g.PrintableWidth * 254LL / (10LL * g.PpiX)) : 0;
    case PdmHeightMM: return g.PpiY > 0 ? int(g.PrintableHeight * 254LL / (10LL * g.PpiY)) : 0;
    case PdmDpiX:
    case PdmPhysicalDpiX: return g.PpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return g.PpiY;
    case PdmDepth: return 24;
    case PdmNumColors: return 1 << 24;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPicture::metric(m);
  }
}

int ResolutionForQuality(const TDeviceCapabilities& caps, int printQuality) {
  QList<int> r = caps.Resolutions;
  std::sort(r.begin(), r.end());
  int def = caps.DefaultResolution > 0 ? caps.DefaultResolution : (r.isEmpty() ? 300 : r.front());
  if (r.isEmpty()) return printQuality > 0 ? printQuality : def;
  if (printQuality > 0) {
    // The device's resolution nearest to the one asked for; the lower one on a tie.
    int best = r.front();
    for (int v : r)
      if (std::abs(v - printQuality) < std::abs(best - printQuality)) best = v;
    return best;
  }
  switch (printQuality) {
    case DMRES_DRAFT: return r.front();
    case DMRES_LOW: {
      int low = def;
      for (int v : r)
        if (v < def) low = v;
      return low;
    }
    case DMRES_HIGH: return r.back();
    default: return def;
  }
}

unsigned SupportedFields(const TDeviceCapabilities& caps) {
  unsigned f = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_COLLATE | DM_DITHERTYPE;
  if (!caps.Bins.isEmpty()) f |= DM_DEFAULTSOURCE;
  if (caps.Color) f |= DM_COLOR;
  if (caps.Duplex) f |= DM_DUPLEX;
  return f;
}

const TPaperInfo* FindPaper(const TDeviceCapabilities& caps, int code) {
  for (const TPaperInfo& p : caps.Papers)
    if (p.Code == code) return &p;
  return nullptr;
}

const TBinInfo* FindBin(const TDeviceCapabilities& caps, int number) {
  for (const TBinInfo& b : caps.Bins)
    if (b.Number == number) return &b;
  return nullptr;
}
