// The layout of the command line's JSON: a document of nlohmann-json values
// laid out for people as well as for scripts. Arrays and the top two
// levels of objects take a line per member; an object inside an array, or
// deeper down, stays on one line.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace quill::cli {

using Json = nlohmann::ordered_json;

// The document ending in a line break. Text that is not valid UTF-8 is
// written with U+FFFD in place of each malformed byte.
std::string json_text(const Json& document);

}  // namespace quill::cli
