#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

struct ToolRun {
    int exitCode;
    std::string output;
};

// Runs a tool with the arguments through the shell; its standard output is
// kept, its error output dropped.
inline ToolRun RunTool(const std::string& tool, const std::string& arguments) {
    const std::string command = tool + " " + arguments + " 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    EXPECT_NE(pipe, nullptr);
    std::string output;
    char chunk[256];
    while (std::size_t count = std::fread(chunk, 1, sizeof(chunk), pipe))
        output.append(chunk, count);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}
