// Measured values (a length in inches that announces its changes), value pairs and
// rectangles, the notification hook, and the base of the engine's non-visual components.
#pragma once
#include <QObject>
#include <functional>
#include <memory>
#include "platform/Classes.h"
#include "platform/Colors.h"
#include "preview/core/Vutypes.h"

// The engine's version, shown by every component's About text.
constexpr Extended VuLibraryVersion = 2.96L;

class TVuValue : public TPersistent {
 public:
  explicit TVuValue(TNotifyEvent onChange = {});
  // A silent value holding Value converted from Measurement to inches.
  TVuValue(Extended value, TVuMeasurement measurement);
  TVuValue(const TVuValue&) = delete;
  TVuValue& operator=(const TVuValue&) = delete;

  QString ClassName() const override { return QStringLiteral("TVuValue"); }
  // Copies a TVuValue's inches and notifies, even when nothing changed.
  void Assign(const TPersistent* source) override;

  Extended Inches() const { return FInches; }
  Extended GetAsMillimeters() const;
  Extended GetAsCentimeters() const;
  int GetAsVuUnits() const;
  int GetAsTwips() const;
  int GetAsPixels(int pixelsPerInch) const;
  Extended GetVuValue(TVuMeasurement measurement) const;

  // Stores and notifies only when the value really differs.
  void SetAsInches(Extended value);
  void SetAsMillimeters(Extended value);
  void SetAsCentimeters(Extended value);
  void SetAsVuUnits(int value);
  void SetAsTwips(int value);
  void SetVuValue(TVuMeasurement measurement, Extended value);
  void SetAsPixels(int pixelsPerInch, int pixels);

  void Changed();

 private:
  Extended FInches = 0;
  TNotifyEvent FOnChange;
};

// Two values that report their changes to the pair; the pair reports them on OnChange.
class TVuCustomValueSize : public TPersistent {
 public:
  TVuCustomValueSize();
  ~TVuCustomValueSize() override;
  TVuCustomValueSize(const TVuCustomValueSize&) = delete;
  TVuCustomValueSize& operator=(const TVuCustomValueSize&) = delete;

  QString ClassName() const override { return QStringLiteral("TVuCustomValueSize"); }
  // Accepts a TVuValueSize: second value first, then the first.
  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

 protected:
  TVuValue& First() const { return *FFirst; }
  TVuValue& Second() const { return *FSecond; }

 private:
  void ValueChanged(TPersistent* sender);
  std::unique_ptr<TVuValue> FFirst;
  std::unique_ptr<TVuValue> FSecond;
};

class TVuValueSize : public TVuCustomValueSize {
 public:
  QString ClassName() const override { return QStringLiteral("TVuValueSize"); }
  TVuValue& Width() const { return First(); }
  TVuValue& Height() const { return Second(); }
};

class TVuValuePoint : public TVuCustomValueSize {
 public:
  QString ClassName() const override { return QStringLiteral("TVuValuePoint"); }
  TVuValue& X() const { return First(); }
  TVuValue& Y() const { return Second(); }
};

// Edges by index: 1 Left, 2 Top, 3 Right, 4 Bottom.
class TVuValueRect : public TPersistent {
 public:
  TVuValueRect();
  ~TVuValueRect() override;
  TVuValueRect(const TVuValueRect&) = delete;
  TVuValueRect& operator=(const TVuValueRect&) = delete;

  QString ClassName() const override { return QStringLiteral("TVuValueRect"); }
  TVuValuePoint& TopLeft() const { return *FTopLeft; }
  TVuValuePoint& BottomRight() const { return *FBottomRight; }

  // Null for an index outside 1..4.
  TVuValue* GetValue(int index) const;
  // Assigns value into the edge's value; other indexes are ignored.
  void SetValue(int index, const TVuValue* value);
  TVuValue& Left() const { return FTopLeft->X(); }
  TVuValue& Top() const { return FTopLeft->Y(); }
  TVuValue& Right() const { return FBottomRight->X(); }
  TVuValue& Bottom() const { return FBottomRight->Y(); }

  TVuRect GetAsInchRect() const;
  void SetAsInchRect(const TVuRect& rect);

 private:
  std::unique_ptr<TVuValuePoint> FTopLeft;
  std::unique_ptr<TVuValuePoint> FBottomRight;
};

// Nesting depth of BeginUpdate/EndUpdate, shared by every unit that holds notifications back
// while many changes are made.
class TVuUpdateCount {
 public:
  void Begin() { ++FCount; }
  // False at 0 (an unmatched end changes nothing); true when this call ended the outermost
  // update, so that the caller fires what it held back.
  bool End() {
    if (FCount == 0) return false;
    return --FCount == 0;
  }
  bool Updating() const { return FCount > 0; }
  int Count() const { return FCount; }

 private:
  int FCount = 0;
};

// The engine's hooks are the platform's one hook type.
template <class... Args>
using TVuHook = THook<Args...>;

// The change notification of the engine's settings objects, pages and page lists.
using TVuNotifyHook = TNotifyEvent;

// The informational text of a component's About property.
QString VuAboutText(const QString& className);

// Intermediate class between the toolkit's object and the engine's non-visual components.
class TVuCustomComponent : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
};

class TVuComponent : public TVuCustomComponent {
  Q_OBJECT
 public:
  explicit TVuComponent(QObject* owner = nullptr);
  QString About() const;
  // Stored About texts are ignored.
  void SetAbout(const QString&) {}
  Extended Version() const { return VuLibraryVersion; }
};
