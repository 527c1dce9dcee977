#include "platform/CupsPrinterBackend.h"
#include "platform/PrintToFile.h"
#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include "platform/PaperPrinterBackend.h"
#include "platform/Printers.h"

// The PPD interface is the only one of libcups that reports a queue's paper sources by
// name and its landscape rotation; it is marked deprecated, but every queue on this
// platform still has a PPD.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

// Standard numbers for the bins the old platform knows by name.
int StandardBinNumber(const QString& key) {
  QString k = key.toLower();
  if (k == u"upper" || k == u"tray1") return DMBIN_UPPER;
  if (k == u"lower" || k == u"tray2") return DMBIN_LOWER;
  if (k == u"middle") return DMBIN_MIDDLE;
  if (k == u"manual" || k == u"manualfeed") return DMBIN_MANUAL;
  if (k == u"envelope") return DMBIN_ENVELOPE;
  if (k == u"auto" || k == u"autoselect" || k == u"default") return DMBIN_AUTO;
  if (k == u"tractor") return DMBIN_TRACTOR;
  if (k == u"largecapacity") return DMBIN_LARGECAPACITY;
  return 0;
}

// "300dpi", "600x600dpi" -> 300, 600; 0 for anything else.
int ParseDpi(const QString& choice) {
  int i = 0, v = 0;
  while (i < choice.size() && choice[i].isDigit()) v = v * 10 + choice[i++].digitValue();
  return i > 0 ? v : 0;
}

TCupsPpdInfo LoadPpd(const QString& device) {
  TCupsPpdInfo info;
  const char* file = cupsGetPPD(device.toUtf8().constData());
  if (!file) return info;
  QByteArray path(file);
  ppd_file_t* ppd = ppdOpenFile(path.constData());
  if (ppd) {
    ppdMarkDefaults(ppd);
    info.Loaded = true;
    info.Landscape = ppd->landscape == -90 ? 270 : 90;
    if (ppd_option_t* o = ppdFindOption(ppd, "InputSlot")) {
      info.DefaultBin = QString::fromUtf8(o->defchoice);
      for (int i = 0; i < o->num_choices; ++i) {
        TBinInfo b;
        b.Key = QString::fromUtf8(o->choices[i].choice);
        b.Name = QString::fromUtf8(o->choices[i].text).left(24);
        b.Number = StandardBinNumber(b.Key);
        bool taken = std::any_of(info.Bins.begin(), info.Bins.end(), [&](const TBinInfo& x) { return x.Number == b.Number; });
        if (b.Number == 0 || taken) b.Number = DMBIN_USER + i;
        info.Bins << b;
      }
    }
    if (ppd_option_t* o = ppdFindOption(ppd, "Resolution")) {
      for (int i = 0; i < o->num_choices; ++i)
        if (int dpi = ParseDpi(QString::fromUtf8(o->choices[i].choice)); dpi > 0)
          info.Resolutions.insert(dpi, QString::fromUtf8(o->choices[i].choice));
      info.DefaultResolution = ParseDpi(QString::fromUtf8(o->defchoice));
    }
    if (ppd_option_t* o = ppdFindOption(ppd, "ColorModel"))
      for (int i = 0; i < o->num_choices; ++i) info.ColorModels << QString::fromUtf8(o->choices[i].choice);
    for (int i = 0; i < ppd->num_sizes; ++i)
      info.Sizes.append({QString::fromUtf8(ppd->sizes[i].name), ppd->sizes[i].width, ppd->sizes[i].length});
    ppdClose(ppd);
  }
  ::unlink(path.constData());
  return info;
}

// Queues without a driver file (raw and driverless queues) print at this resolution.
constexpr int QueueMediaResolution = 300;

// A queue with no driver file tells Qt nothing of its papers.
bool HasDriverFile(const QPrinterInfo& info) { return !info.supportedPageSizes().isEmpty(); }

QPageSize MediaSize(const char* name) {
  pwg_media_t* pwg = pwgMediaForPWG(name);
  if (!pwg) pwg = pwgMediaForLegacy(name);
  if (!pwg) pwg = pwgMediaForPPD(name);
  if (!pwg || pwg->width <= 0 || pwg->length <= 0) return QPageSize();
  const QSizeF mm(pwg->width / 100.0, pwg->length / 100.0);
  QPageSize size(mm, QPageSize::Millimeter, QString::fromUtf8(pwg->pwg), QPageSize::FuzzyMatch);
  return size;
}

}  // namespace

TCupsQueueMedia ReadQueueMedia(const QString& device) {
  TCupsQueueMedia media;
  if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, device.toUtf8().constData(), nullptr)) {
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
      cups_size_t size {};
      if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &size) && size.width > 0 && size.length > 0) {
        media.Size = QPageSize(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter,
                               QString::fromUtf8(size.media), QPageSize::FuzzyMatch);
        media.Margins = QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0);
      }
      cupsFreeDestInfo(info);
    }
    if (!media.Size.isValid())
      if (const char* name = cupsGetOption("media", dest->num_options, dest->options)) media.Size = MediaSize(name);
    cupsFreeDests(1, dest);
  }
  if (!media.Size.isValid()) {
    media.Size = QPageSize(LocaleUsesLetter() ? QPageSize::Letter : QPageSize::A4);
    media.Margins = QMarginsF();
  }
  return media;
}

namespace {

QPageSize PageSizeFor(const QPrinterInfo& info, const TDeviceCapabilities& caps, int code) {
  if (const TPaperInfo* paper = FindPaper(caps, code))
    for (const QPageSize& s : info.supportedPageSizes())
      if (s.key() == paper->Key) return s;
  // A code the device does not know (Custom among them): the device's own default paper.
  return info.defaultPageSize();
}

// Page layout and resolution of a device mode, margins at the device's unprintable strips.
bool LayoutFor(TCupsPrinterBackend& backend, const QString& device, const TDeviceCapabilities& caps,
               const TDeviceMode& mode, QPageLayout& layout, int& resolution) {
  QPrinterInfo info = QPrinterInfo::printerInfo(device);
  if (info.isNull()) return false;
  if (!HasDriverFile(info)) {
    const TCupsQueueMedia media = backend.Media(device);
    const QPageLayout::Orientation o =
        mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait;
    QMarginsF m = media.Margins;
    if (mode.Orientation == DMORIENT_LANDSCAPE) m = QMarginsF(m.top(), m.right(), m.bottom(), m.left());
    layout = QPageLayout(media.Size, o, m, QPageLayout::Millimeter, m);
    resolution = ResolutionForQuality(caps, mode.PrintQuality);
    return true;
  }
  QPrinter p(QPrinter::HighResolution);
  p.setPrinterName(device);
  if (!p.isValid()) return false;
  p.setFullPage(false);
  p.setPageSize(PageSizeFor(info, caps, mode.PaperSize));
  p.setPageOrientation(QPageLayout::Portrait);
  // The device's strips are read in portrait: Qt reports the portrait strips in landscape
  // too. A landscape sheet is the portrait one turned a quarter, so its strips are turned
  // with it (left = portrait top, top = portrait right, ...), as the engine's margins are.
  QPageLayout portrait = p.pageLayout();
  QMarginsF m = portrait.minimumMargins();
  if (mode.Orientation == DMORIENT_LANDSCAPE) m = QMarginsF(m.top(), m.right(), m.bottom(), m.left());
  QPageLayout::Orientation o = mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait;
  layout = QPageLayout(portrait.pageSize(), o, m, portrait.units(), m);
  resolution = ResolutionForQuality(caps, mode.PrintQuality);
  return true;
}

class TCupsPrintJob : public TPrintJob {
 public:
  TCupsPrintJob(TCupsPrinterBackend& backend, QString device, TDeviceCapabilities caps, QString title)
      : FBackend(backend), FDevice(std::move(device)), FCaps(std::move(caps)), FTitle(std::move(title)) {}
  ~TCupsPrintJob() override { RemoveFile(); }

  bool Start(const TDeviceMode& mode) {
    QTemporaryFile tmp(QDir::tempPath() + QStringLiteral("/velean13-job-XXXXXX.pdf"));
    tmp.setAutoRemove(false);
    if (!tmp.open()) return false;
    FFile = tmp.fileName();
    tmp.close();
    QPageLayout layout;
    int resolution = 0;
    if (!LayoutFor(FBackend, FDevice, FCaps, mode, layout, resolution)) return false;
    // Monochrome jobs are drawn in grey already, so even a colour device prints them so.
    FPrinter = NewPdfPrinter(FFile, resolution, layout, FTitle, mode.Color == DMCOLOR_MONOCHROME || !FCaps.Color);
    FMode = mode;
    FStartMode = mode;
    return true;
  }

  QPaintDevice* Device() override { return FPrinter.get(); }

  bool NewPage(const TDeviceMode& mode) override {
    QPageLayout layout;
    int resolution = 0;
    if (mode.Orientation != FMode.Orientation && LayoutFor(FBackend, FDevice, FCaps, mode, layout, resolution))
      FPrinter->setPageLayout(layout);
    FMode.Orientation = mode.Orientation;
    return FPrinter->newPage();
  }

  bool Finish() override {
    FPrinter.reset();  // the painter has ended; this closes the file
    // A file cut short (a full temporary folder) never reaches the spooler.
    if (!PdfComplete(FFile)) return false;
    // Settings are those at the start of the job, as on the old platform.
    auto options = FBackend.JobOptions(FDevice, FStartMode);
    int count = 0;
    cups_option_t* opts = nullptr;
    for (const auto& [name, value] : options)
      count = cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(), count, &opts);
    int id = cupsPrintFile(FDevice.toUtf8().constData(), QFile::encodeName(FFile).constData(),
                           FTitle.toUtf8().constData(), count, opts);
    cupsFreeOptions(count, opts);
    RemoveFile();
    FBackend.SetLastJobId(id);
    FJobId = id > 0 ? id : 0;
    return id > 0;
  }

  int JobId() const override { return FJobId; }

  void Abort() override {
    FPrinter.reset();
    RemoveFile();
  }

 private:
  int FJobId = 0;
  void RemoveFile() {
    if (!FFile.isEmpty()) QFile::remove(FFile);
    FFile.clear();
  }

  TCupsPrinterBackend& FBackend;
  QString FDevice;
  TDeviceCapabilities FCaps;
  QString FTitle;
  QString FFile;
  std::unique_ptr<QPrinter> FPrinter;
  TDeviceMode FMode;
  TDeviceMode FStartMode;
};

}  // namespace

bool SpoolerRunning() {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 2000, nullptr);
  if (!http) return false;
  httpClose(http);
  return true;
}

std::unique_ptr<TPrinterBackend> CreateCupsPrinterBackend() { return std::make_unique<TCupsPrinterBackend>(); }

const TCupsPpdInfo& TCupsPrinterBackend::Ppd(const QString& device) {
  auto it = FPpd.find(device);
  if (it == FPpd.end()) it = FPpd.insert(device, LoadPpd(device));
  return *it;
}

QStringList TCupsPrinterBackend::PrinterNames() { return QPrinterInfo::availablePrinterNames(); }

QString TCupsPrinterBackend::DefaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

QString TCupsPrinterBackend::DriverName(const QString& device) {
  auto it = FDrivers.find(device);
  if (it == FDrivers.end()) it = FDrivers.insert(device, QPrinterInfo::printerInfo(device).makeAndModel());
  return *it;
}

QString TCupsPrinterBackend::PortName(const QString& device) {
  auto it = FPorts.find(device);
  if (it == FPorts.end()) it = FPorts.insert(device, ReadPortName(device));
  return *it;
}

QString TCupsPrinterBackend::ReadPortName(const QString& device) {
  QString port;
  if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, device.toUtf8().constData(), nullptr)) {
    if (const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options)) port = QString::fromUtf8(uri);
    cupsFreeDests(1, dest);
  }
  return port;
}

bool TCupsPrinterBackend::OpenDriver(const QString& device) {
  // A queue without a driver file is a printer too: its paper comes from its media.
  return !QPrinterInfo::printerInfo(device).isNull();
}

TDeviceCapabilities TCupsPrinterBackend::Capabilities(const QString& device) {
  auto it = FCaps.find(device);
  if (it == FCaps.end()) it = FCaps.insert(device, ReadCapabilities(device));
  return *it;
}

bool TCupsPrinterBackend::DriverDefaults(const QString& device, TDeviceMode& mode) {
  auto it = FDefaults.find(device);
  if (it == FDefaults.end()) {
    TDeviceMode m;
    bool ok = ReadDriverDefaults(device, m);
    it = FDefaults.insert(device, {ok, m});
  }
  if (it->first) mode = it->second;
  return it->first;
}

const TCupsQueueMedia& TCupsPrinterBackend::Media(const QString& device) {
  auto it = FMedia.find(device);
  if (it == FMedia.end()) it = FMedia.insert(device, ReadQueueMedia(device));
  return *it;
}

void TCupsPrinterBackend::Refresh() {
  FMedia.clear();
  FPpd.clear();
  FCaps.clear();
  FDefaults.clear();
  FDrivers.clear();
  FPorts.clear();
}

TDeviceCapabilities TCupsPrinterBackend::ReadCapabilities(const QString& device) {
  TDeviceCapabilities caps;
  QPrinterInfo info = QPrinterInfo::printerInfo(device);
  if (info.isNull()) return caps;
  if (!HasDriverFile(info)) {
    const QPageSize size = Media(device).Size;
    const int id = size.windowsId();
    caps.Papers.append({size.name().left(64), id > 0 && id < DMPAPER_USER ? id : DMPAPER_USER, size.key()});
    caps.Resolutions = {QueueMediaResolution};
    caps.DefaultResolution = QueueMediaResolution;
    return caps;
  }
  const TCupsPpdInfo& ppd = Ppd(device);

  // Papers with a standard code claim it first; the rest get codes of their own.
  QList<QPageSize> sizes = info.supportedPageSizes();
  QList<int> codes(sizes.size(), 0);
  QList<int> used;
  for (int pass = 0; pass < 2; ++pass)
    for (int i = 0; i < sizes.size(); ++i) {
      int w = sizes[i].windowsId();
      if (codes[i] || w <= 0 || w >= DMPAPER_USER || used.contains(w)) continue;
      bool exact = QPageSize(QPageSize::id(w)).key() == sizes[i].key();
      if (pass == 0 ? exact : true) {
        codes[i] = w;
        used << w;
      }
    }
  for (int i = 0; i < sizes.size(); ++i) {
    if (!codes[i]) codes[i] = DMPAPER_USER + i;
    caps.Papers.append({sizes[i].name().left(64), codes[i], sizes[i].key()});
  }

  caps.Bins = ppd.Bins;
  for (QPrinter::DuplexMode d : info.supportedDuplexModes())
    if (d != QPrinter::DuplexNone) caps.Duplex = true;
  caps.Color = info.supportedColorModes().contains(QPrinter::Color);
  caps.LandscapeRotation = ppd.Landscape;
  caps.Resolutions = info.supportedResolutions();
  for (int dpi : ppd.Resolutions.keys())
    if (!caps.Resolutions.contains(dpi)) caps.Resolutions << dpi;
  // Without a resolution of its own the device is drawn at Qt's printer resolution.
  caps.DefaultResolution = ppd.DefaultResolution > 0 ? ppd.DefaultResolution : 1200;
  if (!caps.Resolutions.contains(caps.DefaultResolution)) caps.Resolutions << caps.DefaultResolution;
  std::sort(caps.Resolutions.begin(), caps.Resolutions.end());
  return caps;
}

bool TCupsPrinterBackend::ReadDriverDefaults(const QString& device, TDeviceMode& mode) {
  QPrinterInfo info = QPrinterInfo::printerInfo(device);
  if (info.isNull()) return false;
  TDeviceCapabilities caps = Capabilities(device);
  const TCupsPpdInfo& ppd = Ppd(device);
  mode = TDeviceMode();
  mode.DeviceName = device;
  mode.Fields = SupportedFields(caps);
  mode.PaperSize = 9;
  if (!HasDriverFile(info)) {
    mode.PaperSize = caps.Papers.isEmpty() ? 9 : caps.Papers.front().Code;
    mode.PrintQuality = caps.DefaultResolution;
    mode.Color = DMCOLOR_MONOCHROME;
    return true;
  }
  QString defKey = info.defaultPageSize().key();
  for (const TPaperInfo& p : caps.Papers)
    if (p.Key == defKey) mode.PaperSize = p.Code;
  mode.PrintQuality = caps.DefaultResolution;
  mode.DefaultSource = 0;
  for (const TBinInfo& b : caps.Bins)
    if (b.Key == ppd.DefaultBin) mode.DefaultSource = b.Number;
  if (mode.DefaultSource == 0 && !caps.Bins.isEmpty()) mode.DefaultSource = caps.Bins.front().Number;
  mode.Color = caps.Color && info.defaultColorMode() == QPrinter::Color ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
  switch (info.defaultDuplexMode()) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto: mode.Duplex = DMDUP_VERTICAL; break;
    case QPrinter::DuplexShortSide: mode.Duplex = DMDUP_HORIZONTAL; break;
    default: mode.Duplex = DMDUP_SIMPLEX;
  }
  return true;
}

bool TCupsPrinterBackend::Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& g) {
  QPageLayout layout;
  int resolution = 0;
  if (!LayoutFor(*this, device, Capabilities(device), mode, layout, resolution)) return false;
  QRect paper = layout.fullRectPixels(resolution);
  QRect page = layout.paintRectPixels(resolution);
  g.PhysicalWidth = paper.width();
  g.PhysicalHeight = paper.height();
  g.PrintableWidth = page.width();
  g.PrintableHeight = page.height();
  g.OffsetX = page.left();
  g.OffsetY = page.top();
  g.PpiX = g.PpiY = resolution;
  return true;
}

QList<QPair<QString, QString>> TCupsPrinterBackend::JobOptions(const QString& device, const TDeviceMode& mode) {
  QList<QPair<QString, QString>> o;
  TDeviceCapabilities caps = Capabilities(device);
  const TCupsPpdInfo& ppd = Ppd(device);

  if (const TPaperInfo* paper = FindPaper(caps, mode.PaperSize)) {
    // The PPD's own name of the paper: the same name, else the first one of that size.
    QString media = paper->Key;
    bool named = std::any_of(ppd.Sizes.begin(), ppd.Sizes.end(), [&](const auto& ps) { return ps.Name == media; });
    for (const QPageSize& s : QPrinterInfo::printerInfo(device).supportedPageSizes())
      if (!named && s.key() == paper->Key) {
        QSizeF pt = s.sizePoints();
        for (const auto& ps : ppd.Sizes)
          if (std::abs(ps.Width - pt.width()) < 1.5 && std::abs(ps.Length - pt.height()) < 1.5) {
            media = ps.Name;
            break;
          }
      }
    o.append({QStringLiteral("media"), media});
  }
  o.append({QStringLiteral("copies"), QString::number(std::max(1, mode.Copies))});
  bool collate = mode.Collate == DMCOLLATE_TRUE;
  o.append({QStringLiteral("Collate"), collate ? QStringLiteral("True") : QStringLiteral("False")});
  o.append({QStringLiteral("multiple-document-handling"),
            collate ? QStringLiteral("separate-documents-collated-copies")
                    : QStringLiteral("separate-documents-uncollated-copies")});
  QString sides = QStringLiteral("one-sided");
  if (caps.Duplex && mode.Duplex == DMDUP_VERTICAL) sides = QStringLiteral("two-sided-long-edge");
  if (caps.Duplex && mode.Duplex == DMDUP_HORIZONTAL) sides = QStringLiteral("two-sided-short-edge");
  o.append({QStringLiteral("sides"), sides});

  bool color = caps.Color && mode.Color != DMCOLOR_MONOCHROME;
  o.append({QStringLiteral("print-color-mode"), color ? QStringLiteral("color") : QStringLiteral("monochrome")});
  const QStringList gray{QStringLiteral("Gray"), QStringLiteral("Grayscale"), QStringLiteral("KGray"), QStringLiteral("Mono")};
  const QStringList rgb{QStringLiteral("RGB"), QStringLiteral("CMYK"), QStringLiteral("Color"), QStringLiteral("CMY")};
  for (const QString& c : color ? rgb : gray)
    if (ppd.ColorModels.contains(c)) {
      o.append({QStringLiteral("ColorModel"), c});
      break;
    }

  int dpi = ResolutionForQuality(caps, mode.PrintQuality);
  if (ppd.Resolutions.contains(dpi))
    o.append({QStringLiteral("Resolution"), ppd.Resolutions.value(dpi)});
  else if (caps.Resolutions.contains(dpi))
    o.append({QStringLiteral("printer-resolution"), QStringLiteral("%1dpi").arg(dpi)});
  if (mode.PrintQuality < 0) {
    int q = mode.PrintQuality == DMRES_HIGH ? 5 : mode.PrintQuality == DMRES_MEDIUM ? 4 : 3;
    o.append({QStringLiteral("print-quality"), QString::number(q)});
  }
  if (const TBinInfo* bin = FindBin(caps, mode.DefaultSource)) o.append({QStringLiteral("InputSlot"), bin->Key});
  return o;
}

std::unique_ptr<TPrintJob> TCupsPrinterBackend::StartJob(const QString& device, const TDeviceMode& mode,
                                                         const QString& title) {
  auto job = std::make_unique<TCupsPrintJob>(*this, device, Capabilities(device), title);
  if (!job->Start(mode)) return nullptr;
  return job;
}
