// A program's version, the "%version%" text macro of its package, which the
// uninstall entry shows as DisplayVersion. Versions are compared to tell an
// upgrade from a downgrade.
#pragma once

#include <string>

namespace quill::package {

// The name of the text macro that holds a package's version.
extern const char kVersionMacro[];  // "%version%"

// True when `version` is dotted decimal numbers ("2", "1.0.0.10"), the form
// compare_versions orders by number.
bool is_numeric_version(const std::string& version);

// Below zero when `a` is older than `b`, zero when they are the same, above
// zero when newer. Two numeric versions compare field by field as numbers,
// a missing field counting as 0 ("1.2" is "1.2.0.0"); any other pair
// compares as text.
int compare_versions(const std::string& a, const std::string& b);

}  // namespace quill::package
