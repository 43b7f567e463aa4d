#pragma once
// The subcommand table of pelko-cli. Each subcommand lives in its own file
// and registers itself with PELKO_CLI_COMMAND.
//
// Exit codes: 0 done, 1 failed ("FILE: reason" lines on stderr, no output
// file written), 2 wrong usage, 3 the AVI was written without the sound asked
// for.

#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace pelko::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitWithoutSound = 3;

using Args = std::vector<std::string>;

// One option in a command's --help.
struct OptionHelp {
    const char* name;  // "--size WxH"
    const char* text;  // what it does, its range and its default
};
using OptionList = std::vector<OptionHelp>;

// The options of several groups, in order, for a command's table entry.
OptionList optionHelp(std::initializer_list<std::span<const OptionHelp>> groups);

struct Command {
    const char* name;
    const char* usage;    // arguments, e.g. "FILE.gif"
    const char* summary;  // one line for --help
    int (*run)(const Args& args);
    OptionList options = {};  // listed by "pelko-cli NAME --help"
};

std::vector<Command>& commandTable();

// "pelko-cli NAME --help": the usage, the summary and every option.
void printCommandHelp(const Command& command);

struct Registrar {
    explicit Registrar(Command c) { commandTable().push_back(c); }
};

// Prints "pelko-cli: message" on stderr and returns kExitFailed.
int fail(const std::string& message);
// Prints the usage of the named command on stderr and returns kExitUsage.
int usage(const char* commandName);

// Small option parser helpers: finds "--name VALUE" and removes both.
bool takeOption(Args& args, const std::string& name, std::string& value);
bool takeFlag(Args& args, const std::string& name);

}  // namespace pelko::cli

#define PELKO_CLI_CAT2(a, b) a##b
#define PELKO_CLI_CAT(a, b) PELKO_CLI_CAT2(a, b)
#define PELKO_CLI_COMMAND(...)                                      \
    static ::pelko::cli::Registrar PELKO_CLI_CAT(pelkoCliRegistrar, \
                                                 __LINE__)(::pelko::cli::Command{__VA_ARGS__})
