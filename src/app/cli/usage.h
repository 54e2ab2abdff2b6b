#pragma once

#include <ostream>
#include <string>
#include <vector>

// The command line's own description: the one text from which the usage errors, `--help`,
// `help COMMAND` and the manual page are all made, so that they never disagree.
namespace zarvex::cli {

struct CommandHelp {
    std::string name;
    std::string synopsis;  // the words after the command's name
    std::string summary;   // one line
    std::string details;   // paragraphs separated by blank lines; may be empty
};

// Every command in the order the help lists them.
const std::vector<CommandHelp>& CommandHelps();

// The entry of a command, or nullptr for an unknown name.
const CommandHelp* FindCommandHelp(const std::string& name);

// "parse, price, ...": the names for the usage error of a missing command.
std::string CommandNameList();

// zarvex-cli --help
void WriteOverview(std::ostream& out);
// zarvex-cli help COMMAND
void WriteCommandHelp(std::ostream& out, const CommandHelp& help);
// zarvex-cli --version
void WriteVersion(std::ostream& out);
// The manual page zarvex-cli(1) in roff.
void WriteManualPage(std::ostream& out);

}  // namespace zarvex::cli
