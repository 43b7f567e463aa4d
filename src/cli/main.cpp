// pelko-cli: the headless front end over the engine.

#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>

#include "cli/command.h"
#include "cli/terminal_progress.h"

namespace pelko::cli {

std::vector<Command>& commandTable()
{
    static std::vector<Command> table;
    return table;
}

int fail(const std::string& message)
{
    endProgressLine();
    std::cerr << "pelko-cli: " << message << '\n';
    return kExitFailed;
}

int usage(const char* commandName)
{
    for (const Command& c : commandTable())
        if (std::strcmp(c.name, commandName) == 0) {
            std::cerr << "usage: pelko-cli " << c.name << ' ' << c.usage << '\n'
                      << "(pelko-cli " << c.name << " --help lists the options)\n";
            return kExitUsage;
        }
    std::cerr << "usage: pelko-cli COMMAND ...\n";
    return kExitUsage;
}

bool takeOption(Args& args, const std::string& name, std::string& value)
{
    for (std::size_t i = 0; i < args.size(); ++i)
        if (args[i] == name && i + 1 < args.size()) {
            value = args[i + 1];
            args.erase(args.begin() + std::ptrdiff_t(i), args.begin() + std::ptrdiff_t(i) + 2);
            return true;
        }
    return false;
}

bool takeFlag(Args& args, const std::string& name)
{
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}

OptionList optionHelp(std::initializer_list<std::span<const OptionHelp>> groups)
{
    OptionList list;
    for (const std::span<const OptionHelp>& g : groups) list.insert(list.end(), g.begin(), g.end());
    return list;
}

void printCommandHelp(const Command& c)
{
    std::cout << "usage: pelko-cli " << c.name << ' ' << c.usage << "\n\n" << c.summary << '\n';
    if (c.options.empty())
        return;
    std::cout << "\noptions:\n";
    for (const OptionHelp& o : c.options) std::cout << "  " << o.name << "\n      " << o.text << '\n';
}

static void printHelp()
{
    std::cout << "pelko-cli " << PELKO_VERSION << " - the Pelko animator without a window\n\n"
              << "usage: pelko-cli COMMAND [ARGS...]\n"
              << "       pelko-cli COMMAND --help\n"
              << "       pelko-cli --help | --version\n\n"
              << "pelko-cli does the work of Pelko's window without one: it makes projects and\n"
              << "animations from pictures, writes a project's animated GIF or AVI, saves a\n"
              << "frame as a still picture, adds generated frames, records an area of the X\n"
              << "display, and tells what pictures, GIF, WAV and project files hold.\n"
              << "The long commands show a progress line on standard error when it is a\n"
              << "terminal.\n\n"
              << "commands:\n";
    auto table = commandTable();
    std::sort(table.begin(), table.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const Command& c : table)
        std::cout << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
    std::cout << "\nexit codes:\n"
              << "  0  done\n"
              << "  1  failed: \"FILE: reason\" on standard error, no output file written\n"
              << "  2  wrong usage\n"
              << "  3  the AVI was written without the sound asked for\n"
              << "\nsee also:\n"
              << "  pelko(1)\n      the animator's window\n";
}

static const Command* findCommand(const std::string& name)
{
    for (const Command& c : commandTable())
        if (name == c.name)
            return &c;
    return nullptr;
}

}  // namespace pelko::cli

int main(int argc, char** argv)
{
    using namespace pelko::cli;
    // Pictures of a frame's size are made and freed for every frame: keep
    // freed memory for the next one rather than handing it back to the
    // system and faulting fresh pages in each time. The frame cache's budget
    // still bounds what is held.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 128 << 20);
    if (argc < 2) {
        printHelp();
        return kExitUsage;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || (first == "help" && argc == 2)) {
        printHelp();
        return kExitOk;
    }
    if (first == "--version") {
        std::cout << "pelko-cli " << PELKO_VERSION << '\n';
        return kExitOk;
    }
    // "help COMMAND" and "COMMAND --help"
    if (first == "help" && argc == 3) {
        if (const Command* c = findCommand(argv[2])) {
            printCommandHelp(*c);
            return kExitOk;
        }
    }
    if (const Command* c = findCommand(first)) {
        if (argc >= 3 && (std::strcmp(argv[2], "--help") == 0 || std::strcmp(argv[2], "-h") == 0)) {
            printCommandHelp(*c);
            return kExitOk;
        }
        Args args(argv + 2, argv + argc);
        // The commands report their own failures with the file they concern;
        // what escapes them still says which command met it.
        try {
            return c->run(args);
        } catch (const std::bad_alloc&) {
            return fail(std::string(c->name) + ": not enough memory");
        } catch (const std::exception& e) {
            return fail(std::string(c->name) + ": " + e.what());
        }
    }
    std::cerr << "pelko-cli: unknown command '" << first << "' (see pelko-cli --help)\n";
    return kExitUsage;
}
