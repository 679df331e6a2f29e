// size_tree_gen OUTDIR [FILES]
//
// Writes the benchmark trees below OUTDIR (which must not exist yet), always the same for
// the same arguments (fixed seed):
//   OUTDIR/tree-1m    about FILES files (default 1,000,000) shaped like source trees, plus
//                     five folders of 10,000 files, a 5,000-deep chain and an edge-case tree
//   OUTDIR/tree-100k  a tenth of the files, source-tree shape only
//   OUTDIR/chain      a 5,000-deep chain of folders, one small file on each level
// and OUTDIR/expected.txt with one line per tree: name, total bytes, regular files.
//
// Files are sparse (their size is set, no data is written): the apparent size is what is
// measured, and the trees then cost inodes but almost no disk space.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

struct Totals
{
    std::uint64_t bytes = 0;
    std::uint64_t files = 0;
};

[[noreturn]] static void die(const char *what, const std::string &name)
{
    std::fprintf(stderr, "size_tree_gen: %s '%s': %s\n", what, name.c_str(), std::strerror(errno));
    std::exit(1);
}

// xorshift64*: tiny, and the same sequence with every compiler and library (the standard
// distributions are not).
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1DULL;
    }
    // Uniform enough in [0, n) for a benchmark.
    std::uint64_t below(std::uint64_t n) { return next() % n; }

private:
    std::uint64_t m_state;
};

static int makeFolder(int parent, const std::string &name)
{
    if (::mkdirat(parent, name.c_str(), 0755) != 0)
        die("cannot create folder", name);
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        die("cannot open folder", name);
    return fd;
}

static void makeFile(int folder, const std::string &name, std::uint64_t size, Totals &totals)
{
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        die("cannot create file", name);
    if (size > 0 && ::ftruncate(fd, static_cast<off_t>(size)) != 0)
        die("cannot size file", name);
    ::close(fd);
    totals.bytes += size;
    ++totals.files;
}

// Source files are mostly small, some medium, a few large.
static std::uint64_t sourceFileSize(Random &random)
{
    const std::uint64_t roll = random.below(1000);
    if (roll < 700)
        return random.below(8 * 1024);
    if (roll < 990)
        return random.below(256 * 1024);
    return random.below(64ULL * 1024 * 1024);
}

static const char *const kExtensions[] = {".cpp", ".h", ".c", ".py", ".txt", ".json", ".md"};

// One project: folders filled breadth first, 2 to 31 files and up to 4 subfolders each,
// down to depth 7, until the project's share of files is used.
static void makeProject(int parent, const std::string &name, std::uint64_t files, Random &random,
                        Totals &totals)
{
    struct Pending
    {
        int fd;
        unsigned depth;
    };
    std::deque<Pending> queue{{makeFolder(parent, name), 0}};
    unsigned folderNumber = 0;
    while (!queue.empty()) {
        const Pending folder = queue.front();
        queue.pop_front();
        const std::uint64_t here = std::min<std::uint64_t>(files, 2 + random.below(30));
        for (std::uint64_t i = 0; i < here; ++i) {
            const char *extension = kExtensions[random.below(std::size(kExtensions))];
            makeFile(folder.fd, "source_" + std::to_string(i) + extension, sourceFileSize(random),
                     totals);
        }
        files -= here;
        const std::uint64_t subfolders = folder.depth < 7 ? random.below(5) : 0;
        for (std::uint64_t i = 0; i < subfolders && files > 0; ++i) {
            queue.push_back({makeFolder(folder.fd, "module_" + std::to_string(folderNumber++)),
                             folder.depth + 1});
        }
        // A folder that ran out of subfolders before its files: keep the tree growing.
        if (queue.empty() && files > 0)
            queue.push_back({makeFolder(folder.fd, "more"), folder.depth + 1});
        ::close(folder.fd);
    }
}

static void makeChain(int parent, const std::string &name, unsigned depth, Totals &totals)
{
    int folder = makeFolder(parent, name);
    for (unsigned level = 0; level < depth; ++level) {
        makeFile(folder, "file", level % 1000, totals);
        const int child = makeFolder(folder, "level");
        ::close(folder);
        folder = child;
    }
    ::close(folder);
}

static void makeWideFolders(int parent, Totals &totals)
{
    const int wide = makeFolder(parent, "wide");
    for (unsigned f = 0; f < 5; ++f) {
        const int folder = makeFolder(wide, "w" + std::to_string(f));
        for (unsigned i = 0; i < 10000; ++i)
            makeFile(folder, "entry_" + std::to_string(i), (i * 37) % 5000, totals);
        ::close(folder);
    }
    ::close(wide);
}

// The cases a walker gets wrong: links of every kind, a FIFO, a sparse file beyond 4 GiB,
// empty files and folders, names that are not UTF-8 or hold a newline.
static void makeEdgeCases(int parent, Totals &totals)
{
    const int edge = makeFolder(parent, "edge");
    const int a = makeFolder(edge, "a");
    const int b = makeFolder(edge, "b");
    makeFile(a, "linked", 1000, totals);
    if (::linkat(a, "linked", a, "linked-again", 0) != 0 ||
        ::linkat(a, "linked", b, "linked-elsewhere", 0) != 0)
        die("cannot link", "linked");
    if (::symlinkat("../b", a, "to-folder") != 0 || ::symlinkat("linked", a, "to-file") != 0 ||
        ::symlinkat("loop", a, "loop") != 0 || ::symlinkat("nowhere", a, "dangling") != 0)
        die("cannot create symbolic link", "a");
    if (::mkfifoat(b, "fifo", 0644) != 0)
        die("cannot create FIFO", "fifo");
    makeFile(b, "sparse", 5ULL * 1000 * 1000 * 1000, totals);
    makeFile(b, "empty", 0, totals);
    ::close(makeFolder(b, "empty-folder"));
    makeFile(b, "caf\xe9-latin1", 17, totals);
    makeFile(b, "line\nbreak", 19, totals);
    ::close(a);
    ::close(b);
    ::close(edge);
}

static Totals makeTree(int parent, const std::string &name, std::uint64_t files, bool extras)
{
    Totals totals;
    Random random(0x5eed0000 + files);
    const int root = makeFolder(parent, name);
    if (extras) {
        makeWideFolders(root, totals);
        makeChain(root, "chain", 5000, totals);
        makeEdgeCases(root, totals);
    }
    const int projects = makeFolder(root, "projects");
    for (unsigned p = 0; totals.files < files; ++p) {
        const std::uint64_t share =
            std::min<std::uint64_t>(files - totals.files, 2000 + random.below(30000));
        makeProject(projects, "project_" + std::to_string(p), share, random, totals);
    }
    ::close(projects);
    ::close(root);
    return totals;
}

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: size_tree_gen OUTDIR [FILES]\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::uint64_t files = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1000000;
    if (::mkdir(out.c_str(), 0755) != 0)
        die("cannot create", out);
    const int root = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        die("cannot open", out);

    const Totals big = makeTree(root, "tree-1m", files, true);
    const Totals small = makeTree(root, "tree-100k", files / 10, false);
    Totals chain;
    makeChain(root, "chain", 5000, chain);

    const std::string expected = out + "/expected.txt";
    FILE *report = std::fopen(expected.c_str(), "w");
    if (!report)
        die("cannot create", expected);
    auto line = [report](const char *name, const Totals &totals) {
        std::fprintf(report, "%s %llu %llu\n", name, static_cast<unsigned long long>(totals.bytes),
                     static_cast<unsigned long long>(totals.files));
        std::printf("%-10s %20llu bytes %10llu files\n", name,
                    static_cast<unsigned long long>(totals.bytes),
                    static_cast<unsigned long long>(totals.files));
    };
    line("tree-1m", big);
    line("tree-100k", small);
    line("chain", chain);
    std::fclose(report);
    ::close(root);
    return 0;
}
