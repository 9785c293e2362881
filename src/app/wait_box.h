// The wait window of a worker ("WaitPlotterBox"): its texts come from the
// core's description, its percentage is polled from the worker's progress
// ten times a second, and Abort or Escape asks the worker to stop.
#pragma once
#include <QDialog>

#include "shell/host.h"

class QLabel;
class QTimer;

namespace trelmo::app {

class WaitBox : public QDialog {
 public:
  WaitBox(const DialogBox& box, WorkerProgress& progress, QWidget* parent);

 protected:
  void reject() override;  // Escape: abort, the window stays until the worker ends

 private:
  WorkerProgress& progress_;
  QLabel* percent_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace trelmo::app
