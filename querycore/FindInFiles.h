// Find in Files: searches the text files under one or more folders for a string and writes the
// report a query window shows in its results pane, one "path (n): text" line per matching line.
//
// Threads: the search runs on the thread of the window that shows it, a bounded piece at a time
// (Step), so that the window handles its events between the pieces; every member is called on
// that thread, except Stop, which may be called from any thread.
//
// Errors: a folder that cannot be read or a file that cannot be opened is a "(Error)" line of the
// report and the search goes on; no member throws, except std::bad_alloc from the report itself.
//
// The process's current folder is never changed: relative folders of the request are resolved
// against the working folder when the search is created. Folders reached through a symbolic link
// are not entered. Files are decoded as the editor decodes query files (QueryFileCodec.h).
#pragma once

#include <wx/string.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The types that a "*.*" search skips unless the settings hold others.
inline constexpr const char* kDefaultSkippedFileTypes = "*.exe;*.dll;*.ocx;*.sys;*.com;*.dos;*.cab;*.zip";

// Output is handed to the window at most this often, so a long list is not repainted per line.
inline constexpr std::chrono::milliseconds kFindOutputInterval{750};

// What the user asked for in the Find in Files dialog.
struct CFindInFilesRequest {
    wxString findWhat;
    wxString filesOfType; // patterns separated by ";": "*" and "?" in any case; "*.*" is every name
    wxString lookIn;      // folders separated by ";"
    bool matchWholeWord = false;
    bool lookInSubfolders = true;
    bool matchCase = false;
    bool fileNamesOnly = false;
    // Patterns, separated by ";", of the files that "*.*" leaves out; whole entries compared in
    // any case, "*." for names without an extension.
    wxString skippedFileTypes = kDefaultSkippedFileTypes;
    // The folder that relative Look in parts are resolved against; empty: the process's current
    // folder when the search is created.
    wxString workingFolder;
};

// One matching line of the report.
struct CFindInFilesHit {
    std::string path;     // the file's absolute path, as the file system spells it
    long line = 0;        // 1-based
    long position = 0;    // byte offset of the occurrence in the line's UTF-8 text
    long length = 0;      // bytes of the occurrence in that text
    long reportLine = 0;  // 0-based line of the report that shows it
};

class CFindInFiles {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit CFindInFiles(CFindInFilesRequest request, Clock clock = {});
    ~CFindInFiles();
    CFindInFiles(const CFindInFiles&) = delete;
    CFindInFiles& operator=(const CFindInFiles&) = delete;

    // Does a bounded amount of the search (about a megabyte of text or a few hundred folder
    // entries) and returns true once the search has ended (completed or stopped).
    bool Step();
    bool IsDone() const { return m_done; }

    // Asks the search to end; the next Step writes "Canceled." and ends it.
    void Stop() { m_stop = true; }
    bool IsStopped() const { return m_stop; }

    // The report text gathered since the last take, with "\n" line ends: the header on the first
    // take, then at most once per kFindOutputInterval, and the rest once the search has ended.
    // Empty when nothing is due.
    wxString TakeOutput();

    // The pane 0 text: "Searching " + folder while it runs, "Find in files completed" or "Find in
    // files canceled" at the end.
    const wxString& StatusText() const { return m_status; }
    // "%d occurrence(s) have been found", for the occurrence pane.
    wxString OccurrencesText() const;

    long Occurrences() const { return m_occurrences; }
    long MatchingFiles() const { return m_matchingFiles; }
    long FilesSearched() const { return m_filesSearched; }

    // The hits in report order; the hit that a report line shows, or null.
    const std::vector<CFindInFilesHit>& Hits() const { return m_hits; }
    const CFindInFilesHit* HitAtReportLine(long reportLine) const;

    // The absolute folders searched, in order.
    const std::vector<std::string>& Folders() const { return m_folders; }

    // The seven header lines and the blank line after them; a line break in a text shows as a
    // blank.
    static wxString HeaderText(const CFindInFilesRequest& request);

private:
    struct Walk;
    struct FileScan;

    void StartNextWalk();
    long StepWalk(long budget);
    long StepFile(long budget);
    bool OpenFile(const std::string& path);
    void FinishFile();
    void AddHit(long lineNumber, std::string_view lineText, long position, long length);
    void AddErrorLine(const std::string& path, const wxString& text);
    void AppendLine(std::string_view text);
    void Finish();

    CFindInFilesRequest m_request;
    Clock m_clock;
    std::atomic<bool> m_stop{false};
    bool m_done = false;

    std::string m_findWhat;
    std::vector<std::string> m_patterns;
    std::vector<std::string> m_skippedTypes;
    bool m_allTypes = false;
    std::vector<std::string> m_folders;
    size_t m_folderIndex = 0;
    size_t m_patternIndex = 0;
    bool m_folderChecked = false;
    std::unique_ptr<Walk> m_walk;
    std::unique_ptr<FileScan> m_file;
    class COccurrenceFinder;
    std::unique_ptr<COccurrenceFinder> m_finder;

    std::string m_pending;
    bool m_headerTaken = false;
    std::chrono::steady_clock::time_point m_lastTake{};
    long m_reportLines = 0;

    wxString m_status;
    long m_occurrences = 0;
    long m_matchingFiles = 0;
    long m_filesSearched = 0;
    std::vector<CFindInFilesHit> m_hits;
};
