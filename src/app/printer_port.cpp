#include "app/printer_port.h"

#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <map>
#include <sstream>

#include "shell/host.h"

namespace trelmo::app {

namespace {

// A stored setup shorter than this holds no printer.
constexpr size_t kSetupMinimum = 33;

QColor colour(uint32_t rgb) { return QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

class QtPrintJob : public PrintJob, VectorDevice, BandSink {
 public:
  QtPrintJob(QPrinter& printer, const std::string& document) : printer_(printer) {
    printer_.setDocName(QString::fromStdString(document));
    printer_.setFullPage(false);
  }
  PlotPage page() const override {
    PlotPage p;
    p.dpi = printer_.resolution();
    const QRect r = printer_.pageLayout().paintRectPixels(printer_.resolution());
    p.width = r.width(), p.height = r.height();
    return p;
  }
  VectorDevice& vector() override { return *this; }
  BandSink& bands() override { return *this; }

  // Painting starts on the worker's thread, where every page is drawn.
  bool begin() {
    if (!painter_.isActive() && !painter_.begin(&printer_)) {
      error = "The printer refused the job.";
      return false;
    }
    return true;
  }
  void fill(const std::vector<DevicePoint>& polygon, uint32_t rgb) override {
    if (polygon.size() < 3 || !begin()) return;
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.moveTo(polygon[0].x, polygon[0].y);
    for (size_t i = 1; i < polygon.size(); ++i) path.lineTo(polygon[i].x, polygon[i].y);
    path.closeSubpath();
    painter_.fillPath(path, colour(rgb));
  }
  void stroke(const std::vector<DevicePoint>& line, double width, uint32_t rgb) override {
    if (line.empty() || !begin()) return;
    painter_.setPen(QPen(colour(rgb), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    path.moveTo(line[0].x, line[0].y);
    for (size_t i = 1; i < line.size(); ++i) path.lineTo(line[i].x, line[i].y);
    if (line.size() == 1) path.lineTo(line[0].x + 0.01, line[0].y);
    painter_.drawPath(path);
  }
  bool band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) override {
    if (!begin()) return false;
    const QImage image(pixels, width, rows, pitch, QImage::Format_BGR888);
    painter_.drawImage(QPoint(at.left, at.top), image);
    return true;
  }
  bool finish() override {
    if (!begin()) return false;
    return painter_.end();
  }
  void abort() override {
    printer_.abort();
    if (painter_.isActive()) painter_.end();
  }

 private:
  QPrinter& printer_;
  QPainter painter_;
};

}  // namespace

std::string QtPrinterPort::settingsText(const QPrinter& p) {
  std::ostringstream s;
  s << "TRELMO printer setup;name=" << p.printerName().toStdString()
    << ";orientation=" << static_cast<int>(p.pageLayout().orientation()) << ";resolution=" << p.resolution()
    << ";paper=" << static_cast<int>(p.pageLayout().pageSize().id()) << ";color=" << static_cast<int>(p.colorMode());
  return s.str();
}

void QtPrinterPort::applySettings(QPrinter& p, const std::string& text) {
  std::map<std::string, std::string> v;
  std::istringstream s(text);
  for (std::string part; std::getline(s, part, ';');)
    if (const size_t eq = part.find('='); eq != std::string::npos) v[part.substr(0, eq)] = part.substr(eq + 1);
  if (!v["name"].empty()) p.setPrinterName(QString::fromStdString(v["name"]));
  if (!v["orientation"].empty())
    p.setPageOrientation(static_cast<QPageLayout::Orientation>(std::stoi(v["orientation"])));
  if (!v["resolution"].empty()) p.setResolution(std::stoi(v["resolution"]));
  if (!v["paper"].empty()) p.setPageSize(QPageSize(static_cast<QPageSize::PageSizeId>(std::stoi(v["paper"]))));
  if (!v["color"].empty()) p.setColorMode(static_cast<QPrinter::ColorMode>(std::stoi(v["color"])));
}

bool QtPrinterPort::setup(int mode) {
  if (mode < 1 && !printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    const std::string stored = host_.readSetting("Printer Setup");
    if (stored.size() >= kSetupMinimum) applySettings(*printer_, stored);
  }
  if (mode >= 0) {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), parent_);
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  return printer_ && printer_->isValid();
}

bool QtPrinterPort::describe(PrinterInfo& info) {
  if (!printer_) return false;
  const QPrinter& p = *printer_;
  const int dpi = p.resolution();
  const QPageLayout layout = p.pageLayout();
  const QRectF paper = layout.fullRect(QPageLayout::Inch), paint = layout.paintRect(QPageLayout::Inch);
  info.device = p.printerName().toStdString();
  info.colorType = p.colorMode() == QPrinter::Color ? "Color" : "Grayscale";
  info.pixelDepth = p.depth();
  info.orientation = layout.orientation() == QPageLayout::Landscape ? "Landscape" : "Portrait";
  info.dpiX = info.dpiY = dpi;
  info.printableWidth = paint.width(), info.printableHeight = paint.height();
  info.paperWidth = paper.width(), info.paperHeight = paper.height();
  const QMarginsF m = layout.margins(QPageLayout::Inch);
  info.margins[0] = m.left(), info.margins[1] = m.top(), info.margins[2] = m.right(), info.margins[3] = m.bottom();
  return true;
}

std::string QtPrinterPort::setupText() { return printer_ ? settingsText(*printer_) : std::string(); }

std::string QtPrinterPort::queueName() { return printer_ ? printer_->printerName().toStdString() : std::string(); }

std::unique_ptr<PrintJob> QtPrinterPort::start(const std::string& document, std::string& error) {
  if (!printer_ || !printer_->isValid()) {
    error = "Unable to acquire handle to DC for printer.";
    return nullptr;
  }
  return std::make_unique<QtPrintJob>(*printer_, document);
}

}  // namespace trelmo::app
