#include "platform/PrintToFile.h"
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <cerrno>
#include <algorithm>
#include <cstdio>
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {

// The device's sheet for one device mode as a page layout; the margins are the unprintable
// strips, so that the painter's origin lies on the printable corner as on the device.
QPageLayout LayoutOf(const TDeviceGeometry& g, bool landscape) {
  auto mm = [](int pixels, int ppi) { return pixels * 25.4 / ppi; };
  auto pt = [](int pixels, int ppi) { return pixels * 72.0 / ppi; };
  // The page size is given upright; the layout turns it for landscape.
  QSizeF upright = landscape ? QSizeF(mm(g.PhysicalHeight, g.PpiY), mm(g.PhysicalWidth, g.PpiX))
                             : QSizeF(mm(g.PhysicalWidth, g.PpiX), mm(g.PhysicalHeight, g.PpiY));
  QMarginsF strips(pt(g.OffsetX, g.PpiX), pt(g.OffsetY, g.PpiY),
                   pt(g.PhysicalWidth - g.PrintableWidth - g.OffsetX, g.PpiX),
                   pt(g.PhysicalHeight - g.PrintableHeight - g.OffsetY, g.PpiY));
  return QPageLayout(QPageSize(upright, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     strips, QPageLayout::Point, strips);
}

// Why a file came out short: a full file system, or a write error Qt did not pass on.
int CutShortReason(const QString& fileName) {
  struct statvfs fs {};
  if (::statvfs(QFile::encodeName(fileName).constData(), &fs) == 0 && fs.f_bavail * fs.f_frsize < 64 * 1024)
    return ENOSPC;
  return EIO;
}

class TFilePrintJob : public TPrintJob {
 public:
  TFilePrintJob(TPrinterBackend& backend, QString device, QString title, QString fileName)
      : FBackend(backend), FDevice(std::move(device)), FTitle(std::move(title)), FName(std::move(fileName)) {}
  ~TFilePrintJob() override { Abort(); }

  // 0 or the errno of the failure.
  int Start(const TDeviceMode& mode) {
    TDeviceGeometry g;
    if (!FBackend.Geometry(FDevice, mode, g) || g.PpiX <= 0 || g.PpiY <= 0) return EINVAL;
    // A link is written through; a pipe or a device gets the finished file copied into it.
    if (int error = CreateOutputTemporary(FName, FOutput)) return error;
    FTemp = QFile::encodeName(FOutput.Temporary);
    FPrinter = NewPdfPrinter(QFile::decodeName(FTemp), g.PpiX, LayoutOf(g, mode.Orientation == DMORIENT_LANDSCAPE),
                             FTitle, mode.Color == DMCOLOR_MONOCHROME);
    FOrientation = mode.Orientation;
    return 0;
  }

  QPaintDevice* Device() override { return FPrinter.get(); }

  bool NewPage(const TDeviceMode& mode) override {
    if (mode.Orientation != FOrientation) {
      TDeviceGeometry g;
      if (!FBackend.Geometry(FDevice, mode, g)) return false;
      FPrinter->setPageLayout(LayoutOf(g, mode.Orientation == DMORIENT_LANDSCAPE));
      FOrientation = mode.Orientation;
    }
    return FPrinter->newPage();
  }

  bool Finish() override {
    FPrinter.reset();  // the painter has ended; this closes the file
    const QString temp = QFile::decodeName(FTemp);
    // Qt's PDF engine does not report failed writes (a full disk): a file that does not end
    // with the trailer's end mark was cut short.
    int error = PdfComplete(temp) ? 0 : CutShortReason(temp);
    if (!error) error = DeliverOutputTemporary(FOutput);
    if (error || FOutput.Stream) RemoveTemp();
    if (error) RaiseCreateError(FName, error);
    FTemp.clear();
    return true;
  }

  void Abort() override {
    FPrinter.reset();
    RemoveTemp();
  }

 private:
  void RemoveTemp() {
    if (!FTemp.isEmpty()) ::unlink(FTemp.constData());
    FTemp.clear();
  }

  TPrinterBackend& FBackend;
  QString FDevice;
  QString FTitle;
  QString FName;  // as given, for messages
  TOutputTemporary FOutput;
  QByteArray FTemp;
  std::unique_ptr<QPrinter> FPrinter;
  int FOrientation = DMORIENT_PORTRAIT;
};

}  // namespace

bool PdfComplete(const QString& fileName) {
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly) || f.size() < 5) return false;
  // A few bytes of white space may follow the mark.
  f.seek(std::max<qint64>(0, f.size() - 16));
  return f.readAll().trimmed().endsWith("%%EOF");
}

std::unique_ptr<TPrintJob> StartFileJob(TPrinterBackend& backend, const QString& device, const TDeviceMode& mode,
                                        const QString& title, const QString& fileName, int& error) {
  auto job = std::make_unique<TFilePrintJob>(backend, device, title, fileName);
  error = job->Start(mode);
  if (error) return nullptr;
  return job;
}

std::unique_ptr<QPrinter> NewPdfPrinter(const QString& fileName, int resolution, const QPageLayout& layout,
                                        const QString& title, bool grayscale) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(fileName);
  printer->setResolution(resolution);
  printer->setFullPage(false);
  printer->setPageLayout(layout);
  printer->setDocName(title);
  printer->setCreator(QStringLiteral("VelEAN13"));
  printer->setColorMode(grayscale ? QPrinter::GrayScale : QPrinter::Color);
  return printer;
}
