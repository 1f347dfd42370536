// Which language the installer speaks: the one "/LANG=" names, else the
// user's interface language, among the languages the package carries;
// English otherwise.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quill::installer {

// The index into language::kLanguages to speak. `forced` is the "/LANG="
// code (empty: none): an unknown code, or one `carried` lacks, means
// English. Without it `user_langid` (the user's interface language) picks:
// the carried language of exactly that identifier, else one of the same
// primary language (the low ten bits), else English.
std::size_t choose_language(const std::string& forced, unsigned user_langid,
                            const std::vector<std::string>& carried);

}  // namespace quill::installer
