// Page objects that change how the next ones draw: path brackets and clipping regions.
#pragma once
#include "preview/document/VuobjectsBase.h"

class TVuPathObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuPathObject"); }
  int GetObjectID() const override { return vuPathObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  TVuPathObjectType GetPathType() const { return FPathType; }
  void SetPathType(TVuPathObjectType value) { FPathType = value; }

 private:
  TVuPathObjectType FPathType = vuBeginPath;
};

// Selects no clip region.
class TVuRemoveClipObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuRemoveClipObject"); }
  int GetObjectID() const override { return vuRemoveClipObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// Makes its shape the clip region, replacing any earlier one, until a later clip object or
// a remove-clip object.
class TVuBaseClipObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuBaseClipObject"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // The clip region moves with the objects it was recorded with; does not notify.
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  TVuRect GetClipCoords(TVuMeasurement m) const;
  void SetClipCoords(TVuMeasurement m, const TVuRect& rect);
  const TVuRect& ClipCoords() const { return FClipCoords; }

 protected:
  // Adds the clip shape, in device pixels, to the open path.
  virtual void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) = 0;
  TRect ClipAsPixels(const TVuObjectDrawData& drawData) const;
  TVuRect FClipCoords;
};

class TVuClipRectObject : public TVuBaseClipObject {
 public:
  using TVuBaseClipObject::TVuBaseClipObject;
  QString ClassName() const override { return QStringLiteral("TVuClipRectObject"); }
  int GetObjectID() const override { return vuClipRectObject; }

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

class TVuClipEllipseObject : public TVuBaseClipObject {
 public:
  using TVuBaseClipObject::TVuBaseClipObject;
  QString ClassName() const override { return QStringLiteral("TVuClipEllipseObject"); }
  int GetObjectID() const override { return vuClipEllipseObject; }

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// Corner: the corner ellipses' width and height in inches (kept under offsets).
class TVuClipRoundRectObject : public TVuClipRectObject {
 public:
  using TVuClipRectObject::TVuClipRectObject;
  QString ClassName() const override { return QStringLiteral("TVuClipRoundRectObject"); }
  int GetObjectID() const override { return vuClipRoundRectObject; }
  TVuPoint GetCorner(TVuMeasurement m) const;
  void SetCorner(TVuMeasurement m, const TVuPoint& corner);

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

 private:
  TVuPoint FCorner;
};

