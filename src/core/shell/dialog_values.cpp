#include "shell/dialog_values.h"

#include <cstdio>

#include "context.h"
#include "database/options.h"
#include "database/record.h"
#include "files/number_format.h"

namespace trelmo {

std::string trimmedText(std::string_view s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string_view::npos) return {};
  return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

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
    fail(key, "");
    return nullptr;
  }
  // A table cell is named by its row and its column's label.
  label = s.cellField->label.empty() ? key : s.cellField->label;
  const size_t dot = key.find('.');
  if (box_.field(key) == nullptr && dot != std::string::npos) label = key.substr(0, dot) + " " + label;
  return s.value;
}

void FieldReader::fail(const std::string& label, const std::string& text) {
  if (error_.empty()) error_ = "\"" + text + "\" is not a valid value for " + label + ".";
}

void FieldReader::refuse(const std::string& key, const std::string& why) {
  if (error_.empty()) error_ = why;
}

template <typename T, typename Parse>
T FieldReader::read(const std::string& key, T fallback, Parse parse) {
  std::string label;
  const std::string* v = value(key, label);
  T out = fallback;
  if (v && !parse(trimmedText(*v), out)) {
    fail(label, *v);
    return fallback;
  }
  return out;
}

int32_t FieldReader::dimension(const std::string& key) {
  return read<int32_t>(key, 0, [](const std::string& t, int32_t& d) {
    NumberReader r{t};
    d = r.dimension();
    return t.find_first_of("0123456789") != std::string::npos && r.atEnd() && d >= 0;
  });
}

uint32_t FieldReader::colour(const std::string& key) {
  return read<uint32_t>(key, 0, [](const std::string& t, uint32_t& c) {
    NumberReader r{t};
    c = r.hex();
    return !t.empty() && t.size() <= 6 && r.atEnd();
  });
}

int64_t FieldReader::integer(const std::string& key, int64_t low, int64_t high) {
  return read<int64_t>(key, low, [low, high](const std::string& t, int64_t& n) {
    const size_t first = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
    size_t i = first;
    n = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9' && n <= high; ++i) n = n * 10 + (t[i] - '0');
    if (first && t[0] == '-') n = -n;
    return i != first && i == t.size() && n >= low && n <= high;
  });
}

int32_t FieldReader::factor(const std::string& key) {
  return read<int32_t>(key, kInch, [](const std::string& t, int32_t& f) {
    NumberReader r{t};
    f = r.plainNumber();
    return !t.empty() && t[0] != '-' && r.atEnd() && f > 0;
  });
}

bool FieldReader::check(const std::string& key) {
  return read<bool>(key, false, [](const std::string& t, bool& on) {
    on = t == "1";
    return t == "0" || t == "1";
  });
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
