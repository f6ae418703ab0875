// A private set of XDG folders for one test process, so that tests running side by side never
// share settings, desktop entries or the single-instance socket.
#pragma once

#include <string>

class CTempEnvironment {
public:
    CTempEnvironment();
    ~CTempEnvironment();

    const std::string& Root() const { return m_root; }
    std::string ConfigHome() const { return m_root + "/config"; }
    std::string DataHome() const { return m_root + "/data"; }
    std::string RuntimeDir() const { return m_root + "/runtime"; }
    // A fresh file name under the root.
    std::string Path(const std::string& name) const { return m_root + "/" + name; }

private:
    std::string m_root;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
