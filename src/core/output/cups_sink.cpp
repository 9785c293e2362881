#include "output/cups_sink.h"

#include <cups/cups.h>

namespace trelmo {

CupsSink::~CupsSink() {
  if (job_) abort();
}

bool CupsSink::open(const std::string& title, std::string& failure) {
  const char* queue = queue_.empty() ? cupsGetDefault() : queue_.c_str();
  if (!queue) {
    failure = "Open_Printer Failure";
    error = cupsLastErrorString();
    if (error.empty()) error = "No default printer.";
    return false;
  }
  queue_ = queue;
  job_ = cupsCreateJob(CUPS_HTTP_DEFAULT, queue, title.c_str(), 0, nullptr);
  if (job_ <= 0) {
    job_ = 0;
    failure = "Open_Printer Failure";
    error = cupsLastErrorString();
    return false;
  }
  if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue, job_, title.c_str(), CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
    failure = "Start_Doc_Printer Failure";
    error = cupsLastErrorString();
    abort();
    return false;
  }
  started_ = true;
  return true;
}

bool CupsSink::write(const void* data, size_t n) {
  if (!started_) return false;
  if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, static_cast<const char*>(data), n) == HTTP_STATUS_CONTINUE) return true;
  error = cupsLastErrorString();
  return false;
}

bool CupsSink::finish() {
  if (!started_) return false;
  started_ = false;
  const bool ok = cupsFinishDocument(CUPS_HTTP_DEFAULT, queue_.c_str()) == IPP_STATUS_OK;
  if (!ok) error = cupsLastErrorString();
  job_ = 0;
  return ok;
}

void CupsSink::abort() {
  if (!job_) return;
  if (started_) cupsFinishDocument(CUPS_HTTP_DEFAULT, queue_.c_str());
  cupsCancelJob2(CUPS_HTTP_DEFAULT, queue_.c_str(), job_, 1);
  started_ = false;
  job_ = 0;
}

}  // namespace trelmo
