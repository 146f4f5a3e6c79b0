// Variants as JSON, in the form the trace carries them: {"vt":NAME,"v":...}
// for single values, lbound/dims and nested rows for arrays, a hex string for
// a one-dimensional byte array. docs/tessel.md lists every form.
#pragma once

#include <string>
#include <string_view>

#include "platform/Automation.h"
#include "platform/ComponentError.h"
#include "standins/JsonText.h"

namespace standins {

// "BSTR", "ARRAY|VARIANT", "BSTR|BYREF", "VT64" for a type without a name.
std::string VariantTypeName(VARTYPE vt);
void AppendTypeName(std::string& out, VARTYPE vt);

void AppendJsonString(std::string& out, std::string_view utf8);
// UTF-8 out; a lone surrogate is kept as a \u escape.
void AppendJsonText(std::string& out, OleStringView text);
// The shortest decimal form that reads back as the same double.
void AppendReal(std::string& out, double value);

// `byReference` marks a value the chart received by reference and that the
// recording holds by value, so the trace can say what the chart was given.
void AppendJsonVariant(JsonText& out, const VARIANT& value, bool byReference = false);

}  // namespace standins
