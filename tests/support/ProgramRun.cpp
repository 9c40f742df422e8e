#include "support/ProgramRun.h"

#include <sys/wait.h>

#include <cstdio>

#ifndef VELMORA_RUNNER_ENV
#define VELMORA_RUNNER_ENV ""
#endif

std::string programCommand(const std::string& program, const std::string& arguments) {
    return std::string("env ") + VELMORA_RUNNER_ENV + " " + program + " " + arguments;
}

ProgramRun runProgram(const std::string& program, const std::string& arguments,
                      const std::string& folder) {
    ProgramRun run;
    std::string command = programCommand(program, arguments) + " 2>&1";
    if (!folder.empty()) command = "cd '" + folder + "' && " + command;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, n);
        const int status = pclose(pipe);
        if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    }
    return run;
}
