#include "app/qt_host.h"

#include <QMessageBox>

namespace trelmo::app {

void QtHost::messageBox(const std::string& title, const std::string& text) {
  QMessageBox::information(window, QString::fromStdString(title), QString::fromLocal8Bit(text.c_str()));
}

Answer QtHost::question(const std::string& title, const std::string& text, Buttons buttons) {
  QMessageBox::StandardButtons b;
  switch (buttons) {
    case Buttons::Ok: b = QMessageBox::Ok; break;
    case Buttons::OkCancel: b = QMessageBox::Ok | QMessageBox::Cancel; break;
    case Buttons::YesNo: b = QMessageBox::Yes | QMessageBox::No; break;
    case Buttons::YesNoCancel: b = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
  }
  const auto r = QMessageBox::question(window, QString::fromStdString(title), QString::fromLocal8Bit(text.c_str()), b);
  switch (r) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
  }
}

void QtHost::setTitle(const std::string& title) {
  if (window) window->setWindowTitle(QString::fromStdString(title));
}

}  // namespace trelmo::app
