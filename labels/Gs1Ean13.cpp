#include "labels/Gs1Ean13.h"
#include <cmath>

namespace {
bool InGuard(int module) { return module < 3 || (module >= 45 && module < 50) || module >= 92; }
}  // namespace

std::vector<TEan13Bar> Ean13Bars(const QString& modules) {
  std::vector<TEan13Bar> bars;
  for (int m = 0; m < modules.size();) {
    if (modules[m] != u'1') {
      ++m;
      continue;
    }
    TEan13Bar bar{m, 0, InGuard(m)};
    while (m < modules.size() && modules[m] == u'1') ++bar.Width, ++m;
    bars.push_back(bar);
  }
  return bars;
}

double FitMagnification(double width, double height) {
  const TEan13Size unit{1.0};
  const double best = std::min(width / unit.WidthWithQuietZones(), height / unit.Height());
  // Whole percent, rounded down, so that the chosen size really fits.
  const double percent = std::floor(best * 100 + 1e-9);
  if (percent < Gs1MinMagnification * 100) return 0;
  return std::min(percent, Gs1MaxMagnification * 100) / 100;
}
