#include "BenchSupport.h"

#include <fmt/format.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

long BenchRows()
{
    const char* rows = std::getenv("TORVANE_BENCH_ROWS");
    return rows ? std::atol(rows) : 1000000;
}

Measure Run(const std::vector<std::string>& args, const std::string& outPath, const std::string& inPath)
{
    char errPath[] = "/tmp/torvane-bench-stderr.XXXXXX";
    int errFd = mkstemp(errPath);
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        int in = open(inPath.c_str(), O_RDONLY);
        dup2(in, STDIN_FILENO);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(errFd, STDERR_FILENO);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    wait4(pid, &status, 0, &usage);
    Measure m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKb = usage.ru_maxrss;
    std::string errors;
    char buf[4096];
    lseek(errFd, 0, SEEK_SET);
    for (ssize_t n; (n = read(errFd, buf, sizeof buf)) > 0;)
        errors.append(buf, static_cast<size_t>(n));
    close(errFd);
    unlink(errPath);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(fmt::format("{} failed (status {}):\n{}", args.front(), status, errors));
    return m;
}

Measure Best(const std::vector<std::string>& args, const std::string& outPath, const std::string& inPath)
{
    Measure best;
    best.seconds = 1e300;
    for (int i = 0; i < 3; ++i) {
        Measure m = Run(args, outPath, inPath);
        best.seconds = std::min(best.seconds, m.seconds);
        best.peakKb = std::max(best.peakKb, m.peakKb);
    }
    return best;
}

ScratchPostgres::ScratchPostgres(const std::string& connect, const std::string& name,
                                 const std::vector<std::string>& fill)
    : m_port(std::getenv("TORVANE_PG_PORT") ? std::getenv("TORVANE_PG_PORT") : "5432"), m_name(name), m_connect(connect)
{
    Run(PsqlOn("postgres", {"-c", "CREATE DATABASE " + m_name}));
    std::vector<std::string> args;
    for (const auto& statement : fill)
        args.insert(args.end(), {"-c", statement});
    Run(PsqlOn(m_name, args));
    size_t at = m_connect.find("Database=postgres");
    if (at != std::string::npos)
        m_connect.replace(at, 17, "Database=" + m_name);
}

ScratchPostgres::~ScratchPostgres()
{
    try {
        Run(PsqlOn("postgres", {"-c", "DROP DATABASE " + m_name}));
    } catch (const std::exception&) {
        // The cluster is thrown away with the run; a database left behind costs nothing.
    }
}

std::vector<std::string> ScratchPostgres::PsqlOn(const std::string& database, const std::vector<std::string>& args) const
{
    std::vector<std::string> command = {"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", "127.0.0.1",
                                        "-p", m_port, "-U", "torvane", "-d", database};
    command.insert(command.end(), args.begin(), args.end());
    return command;
}
