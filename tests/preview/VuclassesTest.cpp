#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "preview/core/Vuclasses.h"
#include "preview/view/VuclassesControls.h"
#include "preview/core/Vuerrors.h"
#include "tests/common/TestSupport.h"

TEST(VuValue, NotifiesOnlyOnRealChangesButAlwaysOnAssign) {
  int calls = 0;
  TPersistent* sender = nullptr;
  TVuValue v([&](TPersistent* s) { ++calls; sender = s; });
  v.SetAsMillimeters(25.4L);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(sender, &v);
  EXPECT_EQ(v.Inches(), 1);
  v.SetAsMillimeters(25.4L);
  EXPECT_EQ(calls, 1);
  TVuValue same(1, vuInches);
  v.Assign(&same);
  EXPECT_EQ(calls, 2);
}

TEST(VuValue, GettersRoundHalvesToEven) {
  TVuValue v(0.015625L, vuInches);
  EXPECT_EQ(v.GetAsPixels(160), 2);  // 2.5
  EXPECT_EQ(v.GetAsPixels(96), 2);   // 1.5
  EXPECT_EQ(TVuValue(0.5L, vuMillimeters).GetAsVuUnits(), 50);
  EXPECT_EQ(TVuValue(1, vuInches).GetAsTwips(), 1440);
  TVuValue p;
  p.SetAsPixels(600, 300);
  EXPECT_EQ(p.Inches(), 0.5L);
  p.SetAsTwips(720);
  EXPECT_EQ(p.Inches(), 0.5L);
  p.SetVuValue(vuCentimeters, 2.54L);
  EXPECT_EQ(p.GetVuValue(vuInches), (2.54L * 10) / 25.4L);
}

TEST(VuValue, AssignFromAnotherClassFailsAndChangesNothing) {
  TVuValue v(2, vuInches);
  TVuValueRect other;
  EXPECT_THROW(v.Assign(&other), EConvertAssign);
  EXPECT_THROW(v.Assign(nullptr), EConvertAssign);
  EXPECT_EQ(v.Inches(), 2);
  try {
    v.Assign(&other);
  } catch (const EConvertAssign& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot assign a TVuValueRect to a TVuValue"));
  }
}

TEST(VuValuePairs, PairReportsEachChangeAndAssignsSecondValueFirst) {
  TVuValueSize size;
  std::vector<Extended> seen;
  size.OnChange = [&](TPersistent* s) {
    EXPECT_EQ(s, &size);
    seen.push_back(size.Width().Inches() * 10 + size.Height().Inches());
  };
  TVuValueSize source;
  source.Width().SetAsInches(1);
  source.Height().SetAsInches(2);
  size.Assign(&source);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], 2);   // height came first
  EXPECT_EQ(seen[1], 12);
  size.Assign(&source);
  EXPECT_EQ(seen.size(), 2u);  // nothing changed

  TVuValuePoint point;
  EXPECT_THROW(size.Assign(&point), EConvertAssign);
  EXPECT_THROW(point.Assign(&point), EConvertAssign);
  EXPECT_NO_THROW(point.Assign(&size));
}

TEST(VuValueRect, EdgesByIndex) {
  TVuValueRect rect;
  rect.SetAsInchRect(VuRect(1, 2, 3, 4));
  EXPECT_TRUE(EqualVuRects(rect.GetAsInchRect(), VuRect(1, 2, 3, 4)));
  EXPECT_EQ(rect.GetValue(3), &rect.BottomRight().X());
  EXPECT_EQ(rect.GetValue(0), nullptr);
  EXPECT_EQ(rect.GetValue(5), nullptr);
  TVuValue nine(9, vuInches);
  rect.SetValue(2, &nine);
  rect.SetValue(7, &nine);
  EXPECT_TRUE(EqualVuRects(rect.GetAsInchRect(), VuRect(1, 9, 3, 4)));
}

TEST(VuComponents, AboutNamesTheClassAndIgnoresWrites) {
  TVuComponent component;
  EXPECT_TRUE(component.About().startsWith("TVuComponent"));
  component.SetAbout("something else");
  EXPECT_TRUE(component.About().contains(QString::number(double(component.Version()), 'f', 2)));
  TVuScrollingWinControl scroller;
  EXPECT_TRUE(scroller.About().startsWith("TVuScrollingWinControl"));
  EXPECT_EQ(scroller.Color(), clSilver);
  EXPECT_EQ(scroller.BorderStyle(), bsSingle);
  EXPECT_EQ(scroller.frameShadow(), QFrame::Sunken);
  scroller.SetBorderStyle(bsNone);
  EXPECT_EQ(scroller.frameShape(), QFrame::NoFrame);
  TVuWinControl control;
  control.SetCtl3D(false);
  EXPECT_EQ(control.frameShape(), QFrame::Box);
}

TEST(VuErrors, BoxTextStartsWithTheClassName) {
  TRecordedServices services;
  TVuValueRect rect;
  ShowVuError(&rect, "Page exceeded.");
  ASSERT_EQ(services.Messages.size(), 1);
  EXPECT_EQ(services.Messages[0], QStringLiteral("TVuValueRect Error!\n\nPage exceeded."));
}
