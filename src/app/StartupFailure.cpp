#include "app/StartupFailure.h"

#include <cstdio>

namespace {

std::string& lastFailure() {
    static std::string line;
    return line;
}

}  // namespace

void reportStartupFailure(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    lastFailure() = line;
}

const std::string& startupFailure() {
    return lastFailure();
}
