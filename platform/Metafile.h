// Metafiles: a recording of drawing calls that replays at any size and resolution. The
// recording is a QPicture; the file form is this program's own: the frame size, the
// recording's length and a checksum ahead of the recording.
#pragma once
#include <QPicture>
#include "platform/Graphics.h"

class TMetafile : public TGraphic {
 public:
  TMetafile() = default;
  TMetafile(const TMetafile& other) = default;
  TMetafile& operator=(const TMetafile& other) = default;
  using TGraphic::LoadFromStream;

  QString ClassName() const override { return QStringLiteral("TMetafile"); }
  // The frame of the recording in reference pixels (96 per inch).
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) { FWidth = width < 0 ? 0 : width; }
  void SetHeight(int height) { FHeight = height < 0 ? 0 : height; }
  // The frame in hundredths of a millimetre.
  int MMWidth() const;
  int MMHeight() const;
  bool Empty() const override { return FPicture.isNull(); }
  // Maps the frame (0, 0, Width, Height) onto rect and replays the recording.
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  void SaveToStream(QIODevice& stream) const override;
  // Damaged or truncated data raises EInvalidGraphic; the metafile is left as it was.
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TMetafile>(*this); }
  void Assign(const TGraphic& source) override;

  const QPicture& Picture() const { return FPicture; }
  // Takes a finished recording; a frame of 0 by 0 becomes the recording's bounds.
  void SetPicture(const QPicture& picture);
  void Clear();

 private:
  QPicture FPicture;
  int FWidth = 0;
  int FHeight = 0;
};

// A canvas that records into a metafile; the recording becomes the metafile's picture when
// the canvas is destroyed (or Finish is called).
class TMetafileCanvas : public TCanvas {
 public:
  explicit TMetafileCanvas(TMetafile& metafile);
  ~TMetafileCanvas() override;
  void Finish();

 private:
  TMetafile* FMetafile;
  QPicture FRecording;
};
