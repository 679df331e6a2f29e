// size_bench --file PATH | --folder PATH [--threads N]
//
// Prints the byte count alone on the first line of stdout, and the elapsed time and peak
// resident size on stderr. On failure prints the reason on stderr and exits with 1; bad
// arguments exit with 2. Uses the same service as the program (createSizeQuery), unless
// --threads picks the Linux engine's thread count.

#include "platform/SizeQuery.h"

#if defined(__linux__)
#include "platform/linux/LinuxSizeQuery.h"
#endif

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

static int usage()
{
    std::fprintf(stderr, "usage: size_bench --file PATH | --folder PATH [--threads N]\n");
    return 2;
}

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
            threads = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
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

    const auto start = std::chrono::steady_clock::now();
    const SizeResult result =
        std::strcmp(kind, "--file") == 0 ? service->fileSize(path) : service->folderSize(path);
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
