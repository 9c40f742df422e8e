#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "audio/MusicPlayer.h"
#include "demo/Timeline.h"

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

const char* skipDigits(const char* p) {
    while (isDigit(*p)) ++p;
    return p;
}

// Where the unsigned decimal at `p` ends: digits with an optional point and fraction (or a point
// and digits), then an optional exponent; `p` itself when there is none. strtod alone would also
// take spaces, hex, "inf" and "nan".
const char* decimalEnd(const char* p) {
    const char* s = skipDigits(p);
    bool digits = s > p;
    if (*s == '.') {
        const char* fraction = s + 1;
        s = skipDigits(fraction);
        digits = digits || s > fraction;
    }
    if (!digits) return p;
    if (*s == 'e' || *s == 'E') {
        const char* e = s + 1;
        if (*e == '+' || *e == '-') ++e;
        if (isDigit(*e)) s = skipDigits(e);
    }
    return s;
}

// The finite decimal in [text, end): the caller has checked its spelling with decimalEnd.
bool finiteDecimal(const char* text, const char* end, double& value) {
    const std::string decimal(text, end);
    value = std::strtod(decimal.c_str(), nullptr);
    return std::isfinite(value);
}

std::string quoted(const char* text) {
    return text ? "\"" + std::string(text) + "\"" : "nothing";
}

std::string withName(const CommandLine& line, const std::string& text) {
    return line.program + ": " + text;
}

std::string wholeNumberText(long low, long high) {
    return "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

bool parseWholeNumber(const char* text, long low, long high, long& value) {
    const char* digits = text[0] == '-' ? text + 1 : text;
    if (!isDigit(digits[0]) || *skipDigits(digits) != '\0') return false;
    errno = 0;
    const long long v = std::strtoll(text, nullptr, 10);
    if (errno == ERANGE || v < low || v > high) return false;
    value = static_cast<long>(v);
    return true;
}

bool parseNumber(const char* text, double& value) {
    const char* p = text[0] == '-' || text[0] == '+' ? text + 1 : text;
    const char* end = decimalEnd(p);
    if (end == p || *end != '\0' || !finiteDecimal(p, end, value)) return false;
    if (text[0] == '-') value = -value;
    return true;
}

bool parseSize(const char* text, int largestSide, int& width, int& height) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string w(text, x);
    long wv = 0, hv = 0;
    if (!parseWholeNumber(w.c_str(), 1, largestSide, wv) ||
        !parseWholeNumber(x + 1, 1, largestSide, hv))
        return false;
    width = static_cast<int>(wv);
    height = static_cast<int>(hv);
    return true;
}

bool parseTime(const char* text, double& seconds) {
    const char* end = decimalEnd(text);
    double value = 0.0;
    if (end == text || !finiteDecimal(text, end, value)) return false;
    if (*end == 'b') {
        value = secondsOfBars(value);
        ++end;
    }
    if (*end != '\0' || value > MusicPlayer::kMaxSeekSeconds) return false;
    seconds = value;
    return true;
}

OptionValue flagValue(bool& set) {
    return {"", [&set](const char*) { return set = true; }};
}

OptionValue wholeNumberValue(long& value, long low, long high) {
    return {wholeNumberText(low, high), [&value, low, high](const char* text) {
                return parseWholeNumber(text, low, high, value);
            }};
}

OptionValue wholeNumberValue(int& value, int low, int high) {
    return {wholeNumberText(low, high), [&value, low, high](const char* text) {
                long number = 0;
                if (!parseWholeNumber(text, low, high, number)) return false;
                value = static_cast<int>(number);
                return true;
            }};
}

OptionValue numberValue(double& value, double low, double high) {
    return {"a number from " + numberText(low) + " to " + numberText(high),
            [&value, low, high](const char* text) {
                double number = 0.0;
                if (!parseNumber(text, number) || number < low || number > high) return false;
                value = number;
                return true;
            }};
}

OptionValue sizeValue(int& width, int& height, int largestSide) {
    return {"WIDTHxHEIGHT, each 1 to " + std::to_string(largestSide),
            [&width, &height, largestSide](const char* text) {
                return parseSize(text, largestSide, width, height);
            }};
}

OptionValue timeValue(double& seconds, double end, const std::string& endText) {
    std::string wanted = "a time: seconds, or bars with a 'b' suffix";
    if (end >= 0.0) wanted = "a time before " + endText + ": seconds, or bars with a 'b' suffix";
    return {wanted, [&seconds, end](const char* text) {
                double t = 0.0;
                if (!parseTime(text, t) || (end >= 0.0 && t >= end)) return false;
                seconds = t;
                return true;
            }};
}

OptionValue textValue(std::string& text, const std::string& wanted) {
    return {wanted, [&text](const char* value) {
                if (!*value) return false;
                text = value;
                return true;
            }};
}

OptionValue choiceValue(std::string& value, const std::vector<std::string>& choices) {
    std::string wanted = "one of";
    for (const std::string& choice : choices) wanted += " " + choice;
    return {wanted, [&value, choices](const char* text) {
                if (std::find(choices.begin(), choices.end(), text) == choices.end()) return false;
                value = text;
                return true;
            }};
}

void refuseArguments(const CommandLine& line, const std::string& text) {
    std::printf("%s\n", withName(line, text).c_str());
}

ParseResult parseCommandLine(const CommandLine& line, int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return ParseResult::Help;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (argument[0] != '-' || argument[1] == '\0') {
            positional.push_back(argument);
            continue;
        }
        const auto option = std::find_if(line.options.begin(), line.options.end(),
                                         [&](const Option& o) { return o.name == argument; });
        if (option == line.options.end()) {
            std::string names;
            for (const Option& o : line.options) names += o.name + ", ";
            refuseArguments(line, "unknown option " + std::string(argument) +
                                      " (the options: " + names + "--help)");
            return ParseResult::Bad;
        }
        const OptionValue& value = option->value;
        const char* text = value.wanted.empty() || i + 1 == argc ? nullptr : argv[++i];
        if (value.wanted.empty() ? !value.take(nullptr) : !text || !value.take(text)) {
            refuseArguments(line,
                            option->name + " takes " + value.wanted + ", not " + quoted(text));
            return ParseResult::Bad;
        }
    }
    const int count = static_cast<int>(positional.size());
    if (!line.positional ? count > 0
                         : count < line.minPositional ||
                               (line.maxPositional >= 0 && count > line.maxPositional)) {
        refuseArguments(line,
                        (count > 0 ? "unexpected argument " + quoted(positional.back().c_str())
                                   : "missing arguments") +
                            ": usage: " + line.program + " " + line.arguments);
        return ParseResult::Bad;
    }
    if (line.positional) *line.positional = positional;
    return ParseResult::Run;
}

int parseOrExitCode(const CommandLine& line, int argc, char** argv) {
    switch (parseCommandLine(line, argc, argv)) {
        case ParseResult::Help: printUsage(line); return 0;
        case ParseResult::Bad: return 2;
        case ParseResult::Run: break;
    }
    return -1;
}

void printUsage(const CommandLine& line) {
    std::vector<Option> rows = line.options;
    rows.push_back({"--help", "", "this text", {}});
    std::size_t column = 0;
    for (const Option& o : rows)
        column = std::max(column,
                          o.name.size() + (o.placeholder.empty() ? 0 : o.placeholder.size() + 1));
    std::string text = "Usage: " + line.program + " " + line.arguments + "\n" + line.about;
    for (const Option& o : rows) {
        std::string left = o.name + (o.placeholder.empty() ? "" : " " + o.placeholder);
        left.resize(column + 3, ' ');
        std::string help = o.help;
        for (std::size_t n = help.find('\n'); n != std::string::npos; n = help.find('\n', n + 1))
            help.insert(n + 1, std::string(column + 5, ' '));
        text += "  " + left + help + "\n";
    }
    std::printf("%s%s", text.c_str(), line.notes.c_str());
}
