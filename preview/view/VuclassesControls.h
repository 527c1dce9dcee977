// The bases of the engine's windowed controls: a border (none, or single with or without the
// sunken 3D edge) and a background colour, shared by the scrolling controls (preview,
// thumbnail strip) and the plain ones.
#pragma once
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFrame>
#include <QScrollArea>
#include <type_traits>
#include "platform/Colors.h"
#include "preview/core/Vuclasses.h"

enum TBorderStyle { bsNone, bsSingle };

// Paints w's background in color.
void VuApplyColor(QWidget* w, TColor color);
// Single border: sunken client edge with Ctl3D, a thin line without; none: no frame.
void VuApplyBorder(QFrame* frame, TBorderStyle style, bool ctl3D);

// Intermediate classes between the toolkit's classes and the engine's control bases.
class TVuCustomPageControl : public QScrollArea {
  Q_OBJECT
 public:
  using QScrollArea::QScrollArea;
};

class TVuCustomWinControl : public QFrame {
  Q_OBJECT
 public:
  using QFrame::QFrame;
};

class TVuCustomComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
};

// Border, 3D edge, colour and About of a control over TBase (a QFrame or a scroll area, whose
// viewport takes the colour too).
template <class TBase>
class TVuStyledControl : public TBase {
 public:
  explicit TVuStyledControl(QWidget* parent) : TBase(parent) {
    ApplyColor();
    UpdateBorder();
  }

  QString About() const { return VuAboutText(QString::fromLatin1(this->metaObject()->className())); }
  // Stored About texts are ignored.
  void SetAbout(const QString&) {}
  Extended Version() const { return VuLibraryVersion; }

  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle) return;
    FBorderStyle = value;
    UpdateBorder();
  }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value) {
    if (value == FCtl3D) return;
    FCtl3D = value;
    UpdateBorder();
  }
  TColor Color() const { return FColor; }
  void SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    ApplyColor();
  }

 private:
  void UpdateBorder() { VuApplyBorder(this, FBorderStyle, FCtl3D); }
  void ApplyColor() {
    VuApplyColor(this, FColor);
    if constexpr (std::is_base_of_v<QAbstractScrollArea, TBase>) VuApplyColor(this->viewport(), FColor);
  }
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  TColor FColor = clSilver;
};

class TVuScrollingWinControl : public TVuStyledControl<TVuCustomPageControl> {
  Q_OBJECT
 public:
  explicit TVuScrollingWinControl(QWidget* parent = nullptr) : TVuStyledControl(parent) {}
  bool DoubleBuffered() const { return true; }
};

class TVuWinControl : public TVuStyledControl<TVuCustomWinControl> {
  Q_OBJECT
 public:
  explicit TVuWinControl(QWidget* parent = nullptr) : TVuStyledControl(parent) {}
};

class TVuComboBox : public TVuCustomComboBox {
  Q_OBJECT
 public:
  explicit TVuComboBox(QWidget* parent = nullptr) : TVuCustomComboBox(parent) {}
  QString About() const { return VuAboutText(QString::fromLatin1(metaObject()->className())); }
  void SetAbout(const QString&) {}
  Extended Version() const { return VuLibraryVersion; }
};
