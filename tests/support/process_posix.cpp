#include "tests/support/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace lumora {

int run_program(const std::string& program, const std::vector<std::string>& arguments, const std::string& output_file,
                const std::string& error_file)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    if (::posix_spawn_file_actions_init(&actions) != 0) {
        return -1;
    }
    pid_t child = 0;
    int status = 0;
    const bool ran =
        ::posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644) == 0 &&
        (error_file.empty() ||
         ::posix_spawn_file_actions_addopen(&actions, 2, error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644) == 0) &&
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0 &&
        ::waitpid(child, &status, 0) == child;
    ::posix_spawn_file_actions_destroy(&actions);
    return ran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace lumora
