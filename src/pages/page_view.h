#pragma once

#include <QWidget>

namespace tarvo::pages {

// One page of the main window's sheet: the view of a page model. It shows the model and hands
// what the person did to the host's device worker; every rule stays in the model.
class PageView : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  ~PageView() override;

  // An operation started (true) or ended (false), on any page. While one runs the page's device
  // controls are disabled; the page stays painted and the tabs stay usable.
  virtual void SetDeviceBusy(bool busy) = 0;
  // An operation has ended and the worker has let go of the models: show them again.
  virtual void OperationEnded() {}
};

}  // namespace tarvo::pages
