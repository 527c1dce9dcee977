// A control linked to a preview, for tests of the preview's numbered notifications.
#pragma once
#include <QWidget>
#include <algorithm>
#include <vector>
#include "preview/view/VupreviewEvents.h"

// A linked windowed control that records the notifications it receives.
class TMessageLog : public QWidget {
 public:
  using QWidget::QWidget;
  std::vector<int> Messages;
  int Count(int msg) const { return int(std::count(Messages.begin(), Messages.end(), msg)); }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == TVuMessageEvent::EventType()) {
      Messages.push_back(static_cast<TVuMessageEvent*>(e)->Msg());
      return true;
    }
    return QWidget::event(e);
  }
};
