// The commands of quillset-build, each with its own options and help.
#pragma once

#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "builder/project/project.h"
#include "cli/json_layout.h"
#include "cli/platform.h"

namespace quill::cli {

struct Context {
  Platform& platform;
  std::ostream& out;
  std::ostream& err;
};

// A command line after its command word: positional words, options that
// take a value (the last one given wins) and switches. Throws Refused for
// an option the command does not know or one missing its value.
struct Args {
  std::vector<std::string> words;
  std::map<std::string, std::string> values;
  std::set<std::string> switches;
  bool has(const std::string& option) const { return values.count(option) || switches.count(option); }
  std::string value(const std::string& option) const {
    auto it = values.find(option);
    return it == values.end() ? std::string() : it->second;
  }
};
Args parse_args(const std::vector<std::string>& args, const std::set<std::string>& valued,
                const std::set<std::string>& switches);

// The help of one command; empty for an unknown one.
std::string command_help(const std::string& command);
// The overall usage, listing every command.
std::string general_help();

int command_new(const Args& args, Context& context);
int command_add(const Args& args, Context& context);
int command_remove(const Args& args, Context& context);
int command_set(const Args& args, Context& context);
int command_macro(const Args& args, Context& context);
int command_shortcut(const Args& args, Context& context);
int command_image(const Args& args, Context& context);
int command_show(const Args& args, Context& context);
int command_check(const Args& args, Context& context);
int command_language(const Args& args, Context& context);
// registry, association, path, env (declaration_commands.cpp).
int command_registry(const Args& args, Context& context);
int command_association(const Args& args, Context& context);
int command_path(const Args& args, Context& context);
int command_env(const Args& args, Context& context);
std::string declaration_help(const std::string& command);
void print_declarations(const project::Project& project, std::ostream& out);
Json declarations_json(const project::Project& project);
// manifest and describe (listing_commands.cpp).
int command_manifest(const Args& args, Context& context);
int command_describe(const Args& args, Context& context);

}  // namespace quill::cli
