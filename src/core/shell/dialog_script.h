// Dialog boxes answered from text instead of a person: `NAME.FIELD=VALUE`
// settings checked against the box's fields, as trelmo-cli's --dialog and the
// tests use them.
#pragma once
#include <string>
#include <string_view>

#include "shell/host.h"

namespace trelmo {

struct DialogSetting {
  std::string box, field, value;
  bool cancel = false;  // "NAME=cancel": the box answers Escape
};

// Parses "NAME.FIELD=VALUE" (FIELD may itself contain dots; VALUE may be
// empty) or "NAME=cancel"; false when malformed.
bool parseDialogSetting(std::string_view text, DialogSetting& out);

// Gives `field` of `box` the value in its own text form: "0" or "1" for a
// check box, a whole number for an integer, a decimal number for a number,
// the index or the text of a choice or radio group (with or without its "&"
// marks), any text within the field's length limit. A label takes no value.
// False, with the reason in `why` and the box unchanged, when the field is
// missing or the value does not fit it.
bool setDialogField(DialogBox& box, const std::string& field, const std::string& value, std::string& why);

// "check", "integer", ... for a field kind.
const char* dialogKindName(DialogField::Kind kind);
// A label or choice as shown: "&" marks the accelerator, "&&" is an "&".
std::string withoutAccelerators(std::string_view text);

// The text on one line: line breaks shown as "\n", carriage returns left out.
std::string oneLineText(std::string_view text);

// "FIELD=VALUE; FIELD=VALUE" of the fields that hold a value (every field but
// labels without one), line breaks shown as "\n".
std::string dialogValues(const DialogBox& box);

}  // namespace trelmo
