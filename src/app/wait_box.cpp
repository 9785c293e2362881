#include "app/wait_box.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace trelmo::app {

namespace {
constexpr int kPollMs = 100;
QString text(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
}  // namespace

WaitBox::WaitBox(const DialogBox& box, WorkerProgress& progress, QWidget* parent)
    : QDialog(parent), progress_(progress) {
  setObjectName(text(box.name));
  setWindowTitle(text(box.title));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  for (const DialogField& f : box.fields) {
    if (f.kind == DialogField::Button) {
      auto* button = new QPushButton(text(f.label));
      button->setObjectName(text(f.name));
      connect(button, &QPushButton::clicked, this, [this] { progress_.cancel = true; });
      layout->addWidget(button);
      continue;
    }
    auto* label = new QLabel(text(f.label.empty() ? f.value : f.label));
    label->setObjectName(text(f.name));
    if (f.name == "percent") percent_ = label;
    layout->addWidget(label);
  }
  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] {
    if (percent_) percent_->setText(QString::number(progress_.percent.load()) + "%");
  });
  timer_->start(kPollMs);
}

void WaitBox::reject() { progress_.cancel = true; }

}  // namespace trelmo::app
