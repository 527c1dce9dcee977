// Print jobs into a PDF file instead of the spooler: the same sheets as on paper, each at
// the device's geometry for its settings (paper, orientation, resolution, unprintable
// strips), drawn by Qt's PDF output. The file appears only when the job ends well: the job
// is written to a temporary file in the target's folder and renamed over the target.
// Qt's PDF output places the printable area at whole points; device descriptions give the
// unprintable strips in whole points, so the file matches the device's geometry.
#pragma once
#include <QPageLayout>
#include <QPrinter>
#include <QString>
#include <memory>
#include "platform/PrinterBackend.h"

// Starts a file job for the device on the first page; nullptr with error set to the errno
// of the failure when the file cannot be created (EINVAL when the device tells no geometry).
// Finish raises the file-creation error when the file cannot be put in place; Abort and a
// failure leave no file behind.
std::unique_ptr<TPrintJob> StartFileJob(TPrinterBackend& backend, const QString& device, const TDeviceMode& mode,
                                        const QString& title, const QString& fileName, int& error);

// The one set-up of Qt's PDF output for a job: the file, the resolution, the page layout,
// the title and the colour mode; the painter's lossless-image hint is the caller's.
std::unique_ptr<QPrinter> NewPdfPrinter(const QString& fileName, int resolution, const QPageLayout& layout,
                                        const QString& title, bool grayscale);

// Whether a PDF file Qt wrote is whole: Qt's PDF output does not report failed writes (a full
// disk), so a file cut short is known by its missing end-of-file mark.
bool PdfComplete(const QString& fileName);
