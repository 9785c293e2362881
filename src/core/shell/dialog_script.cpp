#include "shell/dialog_script.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace trelmo {

namespace {

bool wholeNumber(const std::string& v) {
  long long n = 0;
  const char* end = v.data() + v.size();
  const auto r = std::from_chars(v.data(), end, n);
  return r.ec == std::errc() && r.ptr == end && n >= INT_MIN && n <= INT_MAX;
}

bool decimalNumber(const std::string& v) {
  double d = 0;
  const char* end = v.data() + v.size();
  const auto r = std::from_chars(v.data(), end, d);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(d);
}

// The index of a choice given by index or text; -1 when there is none.
long choiceIndex(const DialogField& f, const std::string& v) {
  const long count = static_cast<long>(f.choices.size());
  long n = -1;
  const char* end = v.data() + v.size();
  const auto r = std::from_chars(v.data(), end, n);
  if (!v.empty() && v[0] != '-' && r.ec == std::errc() && r.ptr == end && n < count) return n;
  for (long i = 0; i < count; ++i)
    if (f.choices[i] == v) return i;
  for (long i = 0; i < count; ++i)
    if (withoutAccelerators(f.choices[i]) == v) return i;
  return -1;
}

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

// True when `value` fits the field, else the reason is in `why`; a choice
// given by its text becomes its index.
bool fits(const DialogField& f, std::string& value, std::string& why) {
  const std::string name = quoted(f.name);
  if (f.maxLength > 0 && value.size() > static_cast<size_t>(f.maxLength) &&
      (f.kind == DialogField::Text || f.kind == DialogField::Integer || f.kind == DialogField::Number)) {
    why = name + " takes at most " + std::to_string(f.maxLength) + " characters";
    return false;
  }
  switch (f.kind) {
    case DialogField::Label:
      why = name + " is a label and takes no value";
      return false;
    case DialogField::Table:
      why = name + " is a table: its cells are named ROW.COLUMN";
      return false;
    case DialogField::Text:
      return true;
    case DialogField::Integer:
      if (!wholeNumber(value)) why = name + " takes a whole number, not " + quoted(value);
      return why.empty();
    case DialogField::Number:
      if (!decimalNumber(value)) why = name + " takes a number, not " + quoted(value);
      return why.empty();
    case DialogField::Check:
      if (value != "0" && value != "1") why = name + " is a check box: 0 or 1, not " + quoted(value);
      return why.empty();
    case DialogField::Button:
      if (value != "0" && value != "1") why = name + " is a button: 1 presses it, not " + quoted(value);
      return why.empty();
    case DialogField::Choice:
    case DialogField::Radio: {
      const long i = choiceIndex(f, value);
      if (i < 0) {
        why = name + " has no choice " + quoted(value) + " (an index from 0 to " +
              std::to_string(static_cast<long>(f.choices.size()) - 1) + " or a choice's text)";
        return false;
      }
      value = std::to_string(i);
      return true;
    }
  }
  return false;
}

}  // namespace

bool parseDialogSetting(std::string_view text, DialogSetting& out) {
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view key = text.substr(0, eq);
  const size_t dot = key.find('.');
  out = DialogSetting{};
  out.box = std::string(key.substr(0, dot));
  out.value = std::string(text.substr(eq + 1));
  if (out.box.empty()) return false;
  if (dot == std::string_view::npos) {
    out.cancel = out.value == "cancel";
    return out.cancel;
  }
  out.field = std::string(key.substr(dot + 1));
  return !out.field.empty();
}

bool setDialogField(DialogBox& box, const std::string& field, const std::string& value, std::string& why) {
  why.clear();
  DialogField* f = box.field(field);
  const DialogBox::Slot cell = f ? DialogBox::Slot{} : box.slot(field);
  if (!f && !cell.value) {
    why = "the box has no field " + quoted(field);
    return false;
  }
  // A table cell takes what its column takes; messages name the cell.
  DialogField rule = f ? *f : *cell.cellField;
  rule.name = field;
  std::string stored = value;
  if (!fits(rule, stored, why)) return false;
  *(f ? &f->value : cell.value) = stored;
  return true;
}

const char* dialogKindName(DialogField::Kind kind) {
  static constexpr const char* kNames[] = {"label",  "text",  "integer", "number", "check",
                                           "choice", "radio", "table",   "button"};
  const auto k = static_cast<size_t>(kind);
  return k < std::size(kNames) ? kNames[k] : "?";
}

std::string withoutAccelerators(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

std::string oneLineText(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c != '\r')
      out += c;
  }
  return out;
}

namespace {

// The rows of a table whose first cell holds something, each as
// ROW=[VALUE|VALUE|...]: a layer table reports its named layers.
std::string tableValues(const DialogField& f) {
  std::string out;
  for (const DialogRow& r : f.rows) {
    if (r.values.empty() || r.values[0].empty()) continue;
    if (!out.empty()) out += ' ';
    out += r.name;
    out += "=[";
    for (size_t i = 0; i < r.values.size(); ++i) {
      if (i) out += '|';
      out += oneLineText(r.values[i]);
    }
    out += ']';
  }
  return out;
}

}  // namespace

std::string dialogValues(const DialogBox& box) {
  std::string out;
  for (const DialogField& f : box.fields) {
    if (f.kind == DialogField::Label && f.value.empty()) continue;
    if (!out.empty()) out += "; ";
    out += f.name + "=" + (f.kind == DialogField::Table ? tableValues(f) : oneLineText(f.value));
  }
  return out;
}

}  // namespace trelmo
