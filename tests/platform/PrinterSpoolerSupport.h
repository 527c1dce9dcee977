// Test helpers for printing through the real spooler: whether it is there, what CUPS
// recorded for a job, and what cups-pdf made of it.
#pragma once
#include <gtest/gtest.h>
#include <cups/cups.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include "platform/CupsPrinterBackend.h"
#include "tests/common/TestSupport.h"

// Tests that print need the scheduler and the queue "PDF". On CI their absence is a fault
// of the set-up, so the test fails; elsewhere it is skipped.
#define REQUIRE_SPOOLER()                                                                   \
  do {                                                                                      \
    if (!SpoolerRunning() || !QPrinterInfo::availablePrinterNames().contains("PDF")) {     \
      if (qgetenv("CI") == "true") FAIL() << "the CUPS scheduler with the queue PDF is missing"; \
      GTEST_SKIP() << "no CUPS scheduler with the queue PDF";                              \
    }                                                                                       \
  } while (0)

using TJobAttributes = QMap<QString, QString>;

// Every attribute CUPS keeps for a job, in its text form.
inline TJobAttributes JobAttributes(int jobId) {
  TJobAttributes result;
  ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
  QByteArray uri = QByteArrayLiteral("ipp://localhost/jobs/") + QByteArray::number(jobId);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
  const char* all = "all";
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, &all);
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
  if (!response) return result;
  for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
    const char* name = ippGetName(a);
    if (!name) continue;
    char buffer[2048];
    ippAttributeString(a, buffer, sizeof buffer);
    result.insert(QString::fromUtf8(name), QString::fromUtf8(buffer));
  }
  ippDelete(response);
  return result;
}

// The PDF cups-pdf wrote for a job (in ~/PDF of the job's user), once the job is complete
// and the file no longer grows; empty after the timeout.
inline QString WaitForCupsPdfOutput(int jobId, int timeoutMs = 30000) {
  QDir dir(QDir::homePath() + QStringLiteral("/PDF"));
  QRegularExpression name(QStringLiteral("-job_%1\\.pdf$").arg(jobId));
  QElapsedTimer timer;
  timer.start();
  QString found;
  qint64 lastSize = -1;
  while (timer.elapsed() < timeoutMs) {
    if (found.isEmpty())
      for (const QFileInfo& f : dir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        if (name.match(f.fileName()).hasMatch()) found = f.absoluteFilePath();
    if (!found.isEmpty() && JobAttributes(jobId).value("job-state") == "completed") {
      qint64 size = QFileInfo(found).size();
      if (size > 0 && size == lastSize) return found;
      lastSize = size;
    }
    QThread::msleep(250);
  }
  return QString();
}

struct TPdfInfo {
  int Pages = 0;
  QString PageSize;  // "612 x 792", in points
};

inline TPdfInfo ReadPdfInfo(const QString& pdf) {
  TPdfInfo info;
  QByteArray out;
  if (RunProgram(QStringLiteral("pdfinfo"), {pdf}, &out) != 0) return info;
  QString text = QString::fromUtf8(out);
  auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
  if (pages.hasMatch()) info.Pages = pages.captured(1).toInt();
  auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+ x [\\d.]+)")).match(text);
  if (size.hasMatch()) info.PageSize = size.captured(1);
  return info;
}

// One page of a PDF as pixels at the given resolution.
inline QImage RenderPdfPage(const QString& pdf, int page, int dpi) {
  QTemporaryDir dir;
  QString prefix = dir.path() + QStringLiteral("/page");
  QStringList args{QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
                   QStringLiteral("-l"), QString::number(page), QStringLiteral("-singlefile"),
                   QStringLiteral("-png"), pdf, prefix};
  if (RunProgram(QStringLiteral("pdftoppm"), args) != 0) return QImage();
  return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The smallest rectangle holding every dark pixel (right and bottom inclusive).
inline QRect DarkBox(const QImage& image) {
  int l = image.width(), t = image.height(), r = -1, b = -1;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (qGray(line[x]) < 128) {
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
      }
  }
  return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

// The dark box inside one part of a rendered page, in the page's coordinates.
inline QRect DarkBoxIn(const QImage& page, const QRect& part) {
  return DarkBox(page.copy(part)).translated(part.topLeft());
}

// A cups-pdf queue of its own for one test, made from CUPS-PDF's PPD as the given function
// changes it; removed with the object.
class TTestQueue {
 public:
  TTestQueue(const QString& stem, const std::function<QByteArray(QByteArray)>& edit)
      : FName(QStringLiteral("%1%2").arg(stem).arg(QCoreApplication::applicationPid())) {
    QFile base(QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"));
    if (!base.open(QIODevice::ReadOnly)) return;
    QByteArray ppd = edit(base.readAll());
    QFile out(FDir.File(QStringLiteral("queue.ppd")));
    if (ppd.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(ppd) != ppd.size()) return;
    out.close();
    FReady = RunProgram(QStringLiteral("lpadmin"), {QStringLiteral("-p"), FName, QStringLiteral("-v"),
                                                    QStringLiteral("cups-pdf:/"), QStringLiteral("-E"),
                                                    QStringLiteral("-P"), out.fileName()}) == 0;
  }
  ~TTestQueue() {
    if (FReady) RunProgram(QStringLiteral("lpadmin"), {QStringLiteral("-x"), FName});
  }
  TTestQueue(const TTestQueue&) = delete;
  TTestQueue& operator=(const TTestQueue&) = delete;
  bool Ready() const { return FReady; }
  const QString& Name() const { return FName; }

 private:
  TTempDir FDir;
  QString FName;
  bool FReady = false;
};

// A second cups-pdf queue whose PPD also offers printing on both sides and three paper
// sources, for the settings the PDF queue has no choice of.
class TDuplexQueue : public TTestQueue {
 public:
  TDuplexQueue()
      : TTestQueue(QStringLiteral("VelEAN13Duplex"), [](QByteArray ppd) {
          return ppd + "*OpenUI *Duplex/Double-Sided Printing: PickOne\n"
                       "*OrderDependency: 20 AnySetup *Duplex\n"
                       "*DefaultDuplex: None\n"
                       "*Duplex None/Off: \"<</Duplex false>>setpagedevice\"\n"
                       "*Duplex DuplexNoTumble/Long Edge: \"<</Duplex true/Tumble false>>setpagedevice\"\n"
                       "*Duplex DuplexTumble/Short Edge: \"<</Duplex true/Tumble true>>setpagedevice\"\n"
                       "*CloseUI: *Duplex\n"
                       "*OpenUI *InputSlot/Paper Source: PickOne\n"
                       "*OrderDependency: 20 AnySetup *InputSlot\n"
                       "*DefaultInputSlot: Auto\n"
                       "*InputSlot Auto/Automatic: \"\"\n"
                       "*InputSlot Upper/Upper Tray: \"\"\n"
                       "*InputSlot Manual/Manual Feed: \"\"\n"
                       "*CloseUI: *InputSlot\n";
        }) {}
};

// A cups-pdf queue whose A4 sheet has unprintable strips of the given widths in points
// (left, top, right, bottom); its other papers stay fully printable.
class TStripsQueue : public TTestQueue {
 public:
  TStripsQueue(int left, int top, int right, int bottom)
      : TTestQueue(QStringLiteral("VelEAN13Strips"), [=](QByteArray ppd) {
          QByteArray from = "*ImageableArea A4/A4: \"0 0 595 842\"";
          if (!ppd.contains(from)) return QByteArray();
          QByteArray to = QStringLiteral("*ImageableArea A4/A4: \"%1 %2 %3 %4\"")
                              .arg(left).arg(bottom).arg(595 - right).arg(842 - top).toLatin1();
          return ppd.replace(from, to);
        }) {}
};

// Adding a queue needs the rights of the spooler's administrator (root here).
#define REQUIRE_TEST_QUEUE(queue)                                                         \
  do {                                                                                    \
    if (!(queue).Ready()) {                                                               \
      if (qgetenv("CI") == "true") FAIL() << "the test queue could not be added";        \
      GTEST_SKIP() << "the test queue could not be added (not the spooler's admin?)";    \
    }                                                                                     \
  } while (0)
