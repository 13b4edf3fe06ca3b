// Runs a piece of a core test in a child process, under a time and memory limit or as another
// user, and hands back what the child reported.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kalvor::test {

struct ChildLimits {
    unsigned seconds = 0;        // SIGALRM ends the child after this long; 0: no limit
    std::size_t extraMemory = 0; // address space beyond what the child starts with; 0: no limit
    uid_t user = static_cast<uid_t>(-1); // run as this user and its group; -1: as the test
    std::size_t stack = 0; // the most the stack may grow to (RLIMIT_STACK); 0: as it is
};

struct ChildOutcome {
    std::string report;    // what the body returned
    bool finished = false; // the child returned from its body (no signal, no limit reached)
    double seconds = 0;    // wall-clock time from the fork to its end
};

// The address space the process uses now, from /proc/self/statm.
inline std::size_t AddressSpaceInUse() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long pages = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%lu", &pages) != 1) {
            pages = 0;
        }
        std::fclose(statm);
    }
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

// Whether the test runs under AddressSanitizer, whose reserved shadow memory makes an address-
// space limit meaningless.
constexpr bool UnderAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

// Forks; the child applies the limits and runs body, whose text comes back through a pipe.
inline ChildOutcome RunInChild(const std::function<std::string()>& body, ChildLimits limits = {}) {
    ChildOutcome outcome;
    int fds[2];
    if (::pipe(fds) != 0) {
        outcome.report = "no pipe";
        return outcome;
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (limits.user != static_cast<uid_t>(-1) &&
            (::setgroups(0, nullptr) != 0 ||
             ::setresgid(limits.user, limits.user, limits.user) != 0 ||
             ::setresuid(limits.user, limits.user, limits.user) != 0)) {
            ::_exit(4);
        }
        if (limits.extraMemory != 0 && !UnderAddressSanitizer()) {
            const rlim_t cap = AddressSpaceInUse() + limits.extraMemory;
            const rlimit limit{cap, cap};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (limits.seconds != 0) {
            ::alarm(limits.seconds);
        }
        if (limits.stack != 0) {
            // The main thread's stack grows on demand up to this limit; a deeper recursion ends
            // the child with SIGSEGV instead of going on.
            const rlimit limit{limits.stack, limits.stack};
            ::setrlimit(RLIMIT_STACK, &limit);
        }
        std::string report;
        try {
            report = body();
        } catch (const std::exception& error) {
            report = std::string("exception: ") + error.what();
        } catch (...) {
            report = "unknown exception";
        }
        (void)!::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    char buffer[4096];
    ssize_t count = 0;
    while ((count = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        outcome.report.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fds[0]);
    int status = 0;
    if (pid > 0) {
        ::waitpid(pid, &status, 0);
        outcome.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return outcome;
}

} // namespace kalvor::test
