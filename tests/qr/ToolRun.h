// Runs a command line through the shell and collects what it prints, for
// the tests of the command-line encoder.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace qrtest {

struct ToolRun {
    int exitCode;
    std::string out;
};

inline ToolRun runShell(const std::string& command) {
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return {-1, {}};
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace qrtest
