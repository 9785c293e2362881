// Raw jobs on a printer queue through CUPS: the stream is sent as it is
// (format "application/vnd.cups-raw"); an aborted job is cancelled.
#pragma once
#include <string>

#include "output/byte_sink.h"

namespace trelmo {

class CupsSink : public ByteSink {
 public:
  // `queue` empty: the default destination.
  explicit CupsSink(std::string queue) : queue_(std::move(queue)) {}
  ~CupsSink() override;
  // Creates the job ("Open_Printer Failure") and starts its document
  // ("Start_Doc_Printer Failure"); `failure` gets the title of what failed.
  bool open(const std::string& title, std::string& failure);
  bool write(const void* data, size_t n) override;
  bool finish() override;
  void abort() override;

 private:
  std::string queue_;
  int job_ = 0;
  bool started_ = false;
};

}  // namespace trelmo
