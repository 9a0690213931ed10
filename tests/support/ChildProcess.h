#pragma once
// Runs `body` in a forked copy of the test process and waits for it: the
// child ends with body's value as its exit status, without running any
// destructor or exit handler, as a process that is killed leaves its files
// (a lock it took, a writer's new files). An exception out of body ends it
// with 99, never in the test runner's own code (whose threads the child does
// not have). Returns that status, or -1 when the child did not end normally.
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

inline int exitStatusOfChild(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        int status = 99;
        try {
            status = body();
        } catch (...) {
        }
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
