// Printer Out through Qt's printing: vector (GDI) and band (DIB) pages drawn
// with QPainter from the plot worker, on a printer that writes a PDF file,
// the stored printer setup, and the wait window's Abort button.
#include "app/printer_port.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>

#include "app/qt_host.h"
#include "app/wait_box.h"
#include "app_test_support.h"
#include "output/plot_boxes.h"
#include "output/plot_worker.h"
#include "shell/design_busy.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"

namespace trelmo::app {
namespace {

TEST(PrinterPort, GdiAndDibPagesReachAQPrinterFromTheWorker) {
  testing::Editor e;
  ASSERT_TRUE(openFileByName(e.ctx, testing::demoBoard(), 0));
  auto port = std::make_shared<QtPrinterPort>(e.host, &e.window);
  e.ctx.output.printer = port;
  for (PlotKind kind : {PlotKind::Gdi, PlotKind::Dib}) {
    const QString pdf = e.dir.filePath(kind == PlotKind::Gdi ? "gdi.pdf" : "dib.pdf");
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    printer->setResolution(150);
    port->usePrinter(std::move(printer));
    auto job = std::make_unique<PlotJob>();
    PlotSettings s = currentPlotSettings(e.ctx);
    s.kind = kind;
    ASSERT_TRUE(preparePlot(e.ctx, s, *job));
    std::string error;
    job->printer = port->start("Graphics Data", error);
    ASSERT_TRUE(job->printer) << error;
    ASSERT_TRUE(startPlotWorker(e.ctx, std::move(job)));
    ASSERT_NE(e.host.waitBox(), nullptr);
    EXPECT_EQ(e.host.waitBox()->windowTitle(), "Please Stand By");
    ASSERT_TRUE(testing::waitFor([&] { return collectPlotWorker(e.ctx); }));
    EXPECT_EQ(e.host.waitBox(), nullptr);
    EXPECT_FALSE(designBusy(e.ctx));
    ASSERT_TRUE(QFileInfo(pdf).size() > 1000) << pdf.toStdString();
    if (std::system("command -v pdftoppm >/dev/null") == 0) {
      const std::string cmd = "pdftoppm -r 20 -png -singlefile '" + pdf.toStdString() + "' '" +
                              e.dir.filePath("page").toStdString() + "' 2>/dev/null";
      EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
  }
}

TEST(PrinterPort, TheSetupTextBringsThePrinterBack) {
  QPrinter a(QPrinter::HighResolution);
  a.setPageOrientation(QPageLayout::Landscape);
  a.setResolution(600);
  a.setPageSize(QPageSize(QPageSize::A4));
  const std::string text = QtPrinterPort::settingsText(a);
  EXPECT_GT(text.size(), 32u);  // a stored setup is used only when it is longer
  QPrinter b(QPrinter::HighResolution);
  QtPrinterPort::applySettings(b, text);
  EXPECT_EQ(b.pageLayout().orientation(), QPageLayout::Landscape);
  EXPECT_EQ(b.resolution(), 600);
  EXPECT_EQ(b.pageLayout().pageSize().id(), QPageSize::A4);
}

TEST(WaitBox, AbortAndEscapeAskTheWorkerToStop) {
  testing::Editor e;
  WorkerProgress progress;
  progress.percent = 42;
  WaitBox box(waitPlotterBox(e.ctx), progress, &e.window);
  box.show();
  auto* abort = box.findChild<QPushButton*>("abort");
  ASSERT_NE(abort, nullptr);
  EXPECT_EQ(abort->text(), "Abort");
  ASSERT_TRUE(testing::waitFor([&] {
    auto* pct = box.findChild<QLabel*>("percent");
    return pct && pct->text() == "42%";
  }));
  abort->click();
  EXPECT_TRUE(progress.cancel);
  progress.cancel = false;
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&box, &escape);
  EXPECT_TRUE(progress.cancel);
  EXPECT_TRUE(box.isVisible());  // it stays until the worker has ended
}

}  // namespace
}  // namespace trelmo::app
