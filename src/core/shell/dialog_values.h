// The text forms of setup values in dialog fields and their strict readers:
// a value that does not read completely is refused with a message naming the
// field, and the box changes nothing.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "shell/host.h"

namespace trelmo {

struct Context;

// Inches as in a data file ("0.01", "2.0"; "0" for nothing).
std::string dimensionText(int32_t v);
// Six hexadecimal digits, RRGGBB.
std::string colourText(uint32_t rgb);
std::string checkText(bool on);
// Without leading and trailing blanks.
std::string trimmedText(std::string_view s);

// Small builders for box descriptions.
DialogField labelField(const std::string& name, const std::string& text);
DialogField checkField(const std::string& name, const std::string& label, bool on);
DialogField textField(const std::string& name, const std::string& label, const std::string& value, int maxLength);
DialogField numberField(const std::string& name, const std::string& label, const std::string& value);
DialogField radioField(const std::string& name, const std::string& label, std::vector<std::string> choices, int chosen);

// Reads the values of a confirmed box; the first value that does not read is
// remembered, and `report` shows it titled after the box.
class FieldReader {
 public:
  explicit FieldReader(DialogBox& box) : box_(box) {}

  // A dimension of at least 0: inches with a point, mils without.
  int32_t dimension(const std::string& key);
  // One to six hexadecimal digits.
  uint32_t colour(const std::string& key);
  int64_t integer(const std::string& key, int64_t low, int64_t high);
  // A plain number above 0 as 16.16 ("1.0", "25.4").
  int32_t factor(const std::string& key);
  bool check(const std::string& key);
  // The chosen index of a choice or radio group of `count` entries.
  int choice(const std::string& key, int count);
  std::string text(const std::string& key);
  // Marks a value as refused (for rules beyond its form).
  void refuse(const std::string& key, const std::string& why);

  bool ok() const { return error_.empty(); }
  // Shows the first refusal in a message box; true when there was none.
  bool report(Context& ctx) const;

 private:
  // The value named `key` and the label to name it by in a message; null
  // (and recorded) when the box has no such value.
  std::string* value(const std::string& key, std::string& label);
  // Parses the trimmed value; a value that does not parse is recorded and
  // gives the fallback.
  template <typename T, typename Parse>
  T read(const std::string& key, T fallback, Parse parse);
  void fail(const std::string& label, const std::string& text);

  DialogBox& box_;
  std::string error_;
};

}  // namespace trelmo
