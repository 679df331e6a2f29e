// size_bench --file PATH | --folder PATH [--threads N]
//
// Prints the byte count alone on the first line of stdout, and the elapsed time and peak
// resident size on stderr. On failure prints the reason on stderr and exits with 1; bad
// arguments exit with 2. Uses the same service as the program (createSizeQuery), unless
// --threads picks the Linux engine's thread count.
//
// When stderr is a terminal, a progress line (files, bytes, elapsed time) is redrawn there
// four times a second and erased before the answer; otherwise nothing extra is written.
// SIGINT cancels the query: nothing goes to stdout and the exit status is 130, within a
// second even when a walker is blocked in the kernel (a user-space filesystem whose daemon
// stopped answering): the query runs on a thread of its own, and the main thread leaves
// with _exit without waiting for one that does not answer the cancel.

#include "platform/SizeQuery.h"

#if defined(__linux__)
#include "sizing/linux/LinuxSizeQuery.h"
#endif

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// How long a cancelled query may take to answer before the program leaves without it.
static constexpr long kCancelGraceNs = 250'000'000;

static int usage()
{
    std::fprintf(stderr, "usage: size_bench --file PATH | --folder PATH [--threads N]\n");
    return 2;
}

// Redraws "files, bytes, elapsed" on stderr until stopped, then erases the line.
class ProgressLine
{
public:
    ProgressLine(const SizeQueryControl &control, std::chrono::steady_clock::time_point start)
        : m_control(control), m_start(start), m_thread([this] { run(); })
    {}

    ~ProgressLine()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        m_thread.join();
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }

    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        while (
            !m_wake.wait_for(lock, std::chrono::milliseconds(250), [this] { return m_stopped; })) {
            const std::chrono::duration<double> elapsed =
                std::chrono::steady_clock::now() - m_start;
            std::fprintf(stderr, "\r\033[K%llu files, %llu bytes, %.1f s",
                         static_cast<unsigned long long>(m_control.filesFound()),
                         static_cast<unsigned long long>(m_control.bytesFound()), elapsed.count());
            std::fflush(stderr);
        }
    }

    const SizeQueryControl &m_control;
    const std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::thread m_thread; // last: started once the members above exist
};

int main(int argc, char **argv)
{
    const char *kind = nullptr;
    const char *path = nullptr;
    unsigned threads = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--file" || arg == "--folder") && i + 1 < argc) {
            kind = argv[i];
            path = argv[++i];
        } else if (arg == "--threads" && i + 1 < argc) {
            char *end = nullptr;
            const unsigned long value = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || value == 0)
                return usage();
            threads = static_cast<unsigned>(value);
        } else {
            return usage();
        }
    }
    if (!kind)
        return usage();

    std::unique_ptr<SizeQuery> service;
#if defined(__linux__)
    if (threads > 0)
        service = std::make_unique<LinuxSizeQuery>(threads);
#endif
    if (!service)
        service = createSizeQuery();

    // SIGINT, and SIGUSR1 from the query thread when it has the answer, are blocked in every
    // thread (threads started from here on inherit the mask) and taken by sigwait below.
    sigset_t awaited;
    ::sigemptyset(&awaited);
    ::sigaddset(&awaited, SIGINT);
    ::sigaddset(&awaited, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &awaited, nullptr);
    const pthread_t mainThread = ::pthread_self();

    const auto start = std::chrono::steady_clock::now();
    SizeResult result;
    std::unique_ptr<ProgressLine> progress;
    if (::isatty(STDERR_FILENO))
        progress = std::make_unique<ProgressLine>(service->control(), start);
    std::thread query([&] {
        result =
            std::strcmp(kind, "--file") == 0 ? service->fileSize(path) : service->folderSize(path);
        ::pthread_kill(mainThread, SIGUSR1);
    });
    int received = 0;
    while (::sigwait(&awaited, &received) != 0) {
    }
    if (received == SIGINT) {
        service->control().requestCancel();
        sigset_t answered;
        ::sigemptyset(&answered);
        ::sigaddset(&answered, SIGUSR1);
        const timespec grace{0, kCancelGraceNs};
        const bool stopped = ::sigtimedwait(&answered, nullptr, &grace) == SIGUSR1;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (progress)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "cancelled after %.3f s%s\n", elapsed.count(),
                     stopped ? "" : " (the query did not stop: left behind)");
        std::fflush(stderr);
        // Neither the query thread nor the progress thread is joined: one may be blocked in
        // the kernel for good.
        ::_exit(130);
    }
    query.join();
    progress.reset();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.reason.c_str());
        return 1;
    }
    std::printf("%llu\n", static_cast<unsigned long long>(result.bytes));
    std::fprintf(stderr, "elapsed %.3f s, peak RSS %.1f MiB\n", elapsed.count(),
                 static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}
