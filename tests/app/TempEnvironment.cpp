#include "TempEnvironment.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

CTempEnvironment::CTempEnvironment()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "torvane-app-test.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
    for (const std::string& dir : {ConfigHome(), DataHome(), RuntimeDir()})
        std::filesystem::create_directories(dir);
    chmod(RuntimeDir().c_str(), 0700);
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", RuntimeDir().c_str(), 1);
}

CTempEnvironment::~CTempEnvironment()
{
    std::error_code ec;
    std::filesystem::remove_all(m_root, ec);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
