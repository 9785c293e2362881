// The system's printers for Printer Out: QPrinter chosen in the print
// dialog, kept in the "Printer Setup" setting as the printer's name and its
// settings, and pages drawn with QPainter from the plot worker's thread.
#pragma once
#include <QPrinter>
#include <memory>

#include "output/printer_port.h"

class QWidget;

namespace trelmo {
class Host;
}

namespace trelmo::app {

class QtPrinterPort : public PrinterPort {
 public:
  // `parent` owns the print dialog; `host` keeps the stored setup.
  QtPrinterPort(Host& host, QWidget* parent) : host_(host), parent_(parent) {}
  bool setup(int mode) override;
  bool describe(PrinterInfo& info) override;
  std::string setupText() override;
  std::string queueName() override;
  std::unique_ptr<PrintJob> start(const std::string& document, std::string& error) override;

  // Takes this printer as the chosen one (a printer that writes a PDF file
  // serves the tests and "Print to file").
  void usePrinter(std::unique_ptr<QPrinter> printer) { printer_ = std::move(printer); }

  // The settings text of a printer, and a printer set from one.
  static std::string settingsText(const QPrinter& printer);
  static void applySettings(QPrinter& printer, const std::string& text);

 private:
  Host& host_;
  QWidget* parent_;
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace trelmo::app
