#include "shell/dialog_values.h"

#include <cstdio>

#include "context.h"
#include "database/options.h"
#include "files/number_format.h"

namespace trelmo {

namespace {

std::string trimmed(std::string_view s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

}  // namespace

std::string dimensionText(int32_t v) {
  std::string out;
  appendDimension(out, v);
  return out;
}

std::string colourText(uint32_t rgb) {
  std::string out;
  appendHex(out, rgb & 0xFFFFFF, 6);
  return out;
}

std::string checkText(bool on) { return on ? "1" : "0"; }

DialogField labelField(const std::string& name, const std::string& text) {
  DialogField f;
  f.name = name;
  f.kind = DialogField::Label;
  f.label = text;
  return f;
}

DialogField checkField(const std::string& name, const std::string& label, bool on) {
  DialogField f;
  f.name = name;
  f.kind = DialogField::Check;
  f.label = label;
  f.value = checkText(on);
  return f;
}

DialogField textField(const std::string& name, const std::string& label, const std::string& value, int maxLength) {
  DialogField f;
  f.name = name;
  f.label = label;
  f.value = value;
  f.maxLength = maxLength;
  return f;
}

DialogField numberField(const std::string& name, const std::string& label, const std::string& value) {
  DialogField f = textField(name, label, value, 16);
  f.kind = DialogField::Number;
  return f;
}

DialogField radioField(const std::string& name, const std::string& label, std::vector<std::string> choices,
                       int chosen) {
  DialogField f;
  f.name = name;
  f.kind = DialogField::Radio;
  f.label = label;
  f.value = std::to_string(chosen);
  f.choices = std::move(choices);
  return f;
}

std::string* FieldReader::value(const std::string& key, std::string& label) {
  const DialogBox::Slot s = box_.slot(key);
  if (!s.value) {
    fail(key, key, "");
    return nullptr;
  }
  const size_t dot = key.find('.');
  // A table cell is named by its row and its column's label.
  label = s.spec->label.empty() ? key : s.spec->label;
  if (box_.field(key) == nullptr && dot != std::string::npos) label = key.substr(0, dot) + " " + label;
  return s.value;
}

void FieldReader::fail(const std::string& key, const std::string& label, const std::string& text) {
  if (!error_.empty()) return;
  error_ = "\"" + text + "\" is not a valid value for " + label + ".";
}

void FieldReader::refuse(const std::string& key, const std::string& why) {
  if (error_.empty()) error_ = why;
}

int32_t FieldReader::dimension(const std::string& key) {
  std::string label;
  const std::string* v = value(key, label);
  if (!v) return 0;
  const std::string t = trimmed(*v);
  NumberReader r{t};
  const int32_t d = r.dimension();
  const bool digits = t.find_first_of("0123456789") != std::string::npos;
  if (!digits || !r.atEnd() || d < 0) fail(key, label, *v);
  return d < 0 ? 0 : d;
}

uint32_t FieldReader::colour(const std::string& key) {
  std::string label;
  const std::string* v = value(key, label);
  if (!v) return 0;
  const std::string t = trimmed(*v);
  NumberReader r{t};
  const uint32_t c = r.hex();
  if (t.empty() || t.size() > 6 || !r.atEnd()) fail(key, label, *v);
  return c & 0xFFFFFF;
}

int64_t FieldReader::integer(const std::string& key, int64_t low, int64_t high) {
  std::string label;
  const std::string* v = value(key, label);
  if (!v) return low;
  const std::string t = trimmed(*v);
  size_t i = t.empty() || (t[0] != '-' && t[0] != '+') ? 0 : 1;
  int64_t n = 0;
  const size_t firstDigit = i;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9' && n <= high; ++i) n = n * 10 + (t[i] - '0');
  if (!t.empty() && t[0] == '-') n = -n;
  if (i == firstDigit || i != t.size() || n < low || n > high) {
    fail(key, label, *v);
    return low;
  }
  return n;
}

int32_t FieldReader::factor(const std::string& key) {
  std::string label;
  const std::string* v = value(key, label);
  if (!v) return 65536;
  const std::string t = trimmed(*v);
  NumberReader r{t};
  const int32_t f = r.plainNumber();
  if (t.empty() || t[0] == '-' || !r.atEnd() || f <= 0) {
    fail(key, label, *v);
    return 65536;
  }
  return f;
}

bool FieldReader::check(const std::string& key) {
  std::string label;
  const std::string* v = value(key, label);
  if (v && *v != "0" && *v != "1") fail(key, label, *v);
  return v && *v == "1";
}

int FieldReader::choice(const std::string& key, int count) { return static_cast<int>(integer(key, 0, count - 1)); }

std::string FieldReader::text(const std::string& key) {
  std::string label;
  const std::string* v = value(key, label);
  return v ? *v : std::string();
}

bool FieldReader::report(Context& ctx) const {
  if (error_.empty()) return true;
  ctx.host->messageBox(box_.title + " Error", error_);
  return false;
}

}  // namespace trelmo
