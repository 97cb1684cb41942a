#ifndef HORATAB_TESTS_CLI_RUNPROGRAM_H
#define HORATAB_TESTS_CLI_RUNPROGRAM_H

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

// A private folder under the test temporary directory, made once per run
// and removed with everything in it when the test program ends.
inline const std::string& cliTestFolder()
{
    struct ownedFolder
    {
        std::string path;
        ~ownedFolder()
        {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    };
    static const ownedFolder folder{[] {
        std::string pattern = testing::TempDir() + "horatab-cli-XXXXXX";
        char* made = mkdtemp(&pattern[0]);
        return made ? std::string(made) + "/" : std::string();
    }()};
    static const std::string path = folder.path.empty() ? testing::TempDir() : folder.path;
    return path;
}

inline std::string writeCliFile(const std::string& name, const std::string& bytes)
{
    std::string path = cliTestFolder() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct programResult
{
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args` (no shell), capturing both output streams.
inline programResult runProgram(const std::string& program, const std::vector<std::string>& args)
{
    std::string outPath = cliTestFolder() + "stdout.txt";
    std::string errPath = cliTestFolder() + "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    programResult result;
    pid_t child = 0;
    int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0) << program;
    if (spawned != 0)
        return result;
    int wstatus = 0;
    waitpid(child, &wstatus, 0);
    if (WIFEXITED(wstatus))
        result.status = WEXITSTATUS(wstatus);
    result.out = readWhole(outPath);
    result.err = readWhole(errPath);
    return result;
}

inline programResult runExport(const std::vector<std::string>& args)
{
    return runProgram(HORATAB_EXPORT_BIN, args);
}

#endif
