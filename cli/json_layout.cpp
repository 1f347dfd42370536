// The command line's JSON layout over nlohmann-json's own escaping.
#include "cli/json_layout.h"

namespace quill::cli {

namespace {

std::string scalar(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string inline_text(const Json& value) {
  if (!value.is_structured()) return scalar(value);
  const bool object = value.is_object();
  std::string out(1, object ? '{' : '[');
  bool first = true;
  for (auto it = value.begin(); it != value.end(); ++it) {
    out += first ? "" : ", ";
    if (object) out += scalar(Json(it.key())) + ": ";
    out += inline_text(*it);
    first = false;
  }
  return out + (object ? '}' : ']');
}

std::string laid_out(const Json& value, int depth, bool in_array) {
  const bool expand = value.is_array() || (value.is_object() && !in_array && depth < 2);
  if (!expand || value.empty()) return inline_text(value);
  const bool object = value.is_object();
  const std::string indent(2 * static_cast<std::size_t>(depth + 1), ' ');
  std::string out(1, object ? '{' : '[');
  bool first = true;
  for (auto it = value.begin(); it != value.end(); ++it) {
    out += (first ? "\n" : ",\n") + indent;
    if (object) out += scalar(Json(it.key())) + ": ";
    out += laid_out(*it, depth + 1, !object);
    first = false;
  }
  return out + "\n" + indent.substr(2) + (object ? '}' : ']');
}

}  // namespace

std::string json_text(const Json& document) { return laid_out(document, 0, false) + "\n"; }

}  // namespace quill::cli
