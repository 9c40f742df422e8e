#pragma once
#include <functional>
#include <string>
#include <vector>

// The one command-line grammar of the demo's programs and tools: a table of options that parses
// the arguments, refuses anything else with one line, and writes the usage text.
//
// Every value is read whole (nothing before or after it, no spaces) and bounded:
//   whole number  digits, an optional leading '-'                         12, -3
//   number        a decimal with an optional sign, fraction and exponent  0.5, -2, 1e3
//                 (no hex, no inf or nan)
//   size          WIDTHxHEIGHT, two whole numbers from 1                   1280x720
//   time          seconds as an unsigned decimal, or bars with a 'b'       12.5, 20b, 7.5b
//                 suffix (the browser page reads its ?t= the same way)

// What an option does with its value. `wanted` says what it takes ("a whole number from 1 to 4"),
// for the line that refuses anything else; empty for a flag, which takes no value. `take` stores
// the value (nullptr for a flag) and answers false to refuse it.
struct OptionValue {
    std::string wanted;
    std::function<bool(const char* text)> take;
};

// One row of a program's option table.
struct Option {
    std::string name;         // "--size"
    std::string placeholder;  // "WxH" in the usage text; empty for a flag
    std::string help;         // its text in the usage, '\n' between lines
    OptionValue value;
};

struct CommandLine {
    std::string program;          // "velmora-headless", the prefix of every line it prints
    std::string arguments;        // after the program in the usage line: "[options] <output dir>"
    std::string about;            // the lines under the usage line
    std::vector<Option> options;  // --help is added by the grammar
    std::string notes;            // the lines after the options
    // The arguments that are not options, in order: from minPositional to maxPositional of them
    // (-1: any number). None are taken when this is null.
    std::vector<std::string>* positional = nullptr;
    int minPositional = 0, maxPositional = 0;
};

enum class ParseResult { Run, Help, Bad };

// Help: --help (or -h) was given; nothing else was looked at. Bad: one line naming the argument
// was printed on standard output (the programs then exit with 2).
ParseResult parseCommandLine(const CommandLine& line, int argc, char** argv);
void printUsage(const CommandLine& line);
// For a main() with nothing to check after parsing: -1 to go on, else the exit code (0 once --help
// has printed the usage, 2 after a refusal).
int parseOrExitCode(const CommandLine& line, int argc, char** argv);
// One line "program: text" for a refusal the program decides after parsing (options that do not
// go together).
void refuseArguments(const CommandLine& line, const std::string& text);

// The largest side of a picture any program takes: far above what a GL draws, small enough that
// the sizes computed from it cannot overflow.
constexpr int kLargestSide = 16384;

bool parseWholeNumber(const char* text, long low, long high, long& value);
bool parseNumber(const char* text, double& value);
bool parseSize(const char* text, int largestSide, int& width, int& height);
// From 0 to the furthest position the music clock holds.
bool parseTime(const char* text, double& seconds);

OptionValue flagValue(bool& set);
OptionValue wholeNumberValue(long& value, long low, long high);
OptionValue wholeNumberValue(int& value, int low, int high);
OptionValue numberValue(double& value, double low, double high);
OptionValue sizeValue(int& width, int& height, int largestSide = kLargestSide);
// Any time the clock holds or, given `end` (seconds) and the words for it, a time before it.
OptionValue timeValue(double& seconds, double end = -1.0, const std::string& endText = "");
// Any text but an empty one: a file or folder name.
OptionValue textValue(std::string& text, const std::string& wanted);
OptionValue choiceValue(std::string& value, const std::vector<std::string>& choices);
