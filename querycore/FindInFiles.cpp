#include "FindInFiles.h"

#include "FindNoCase.h"
#include "QueryFileCodec.h"
#include "Utf8.h"
#include "WordDelimiters.h"
#include "common/FileException.h"

#include <wx/log.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Work units of one Step: bytes of text scanned, with a folder entry and a file opening counted
// as that many bytes, so that a step stays short however the tree is shaped.
constexpr long kStepBudget = 1 << 20;
constexpr long kEntryCost = 2048;
constexpr long kFileCost = 8192;

const size_t npos = std::string_view::npos;

// Pieces of a ";"-separated list, trimmed, empty ones left out.
std::vector<std::string> SplitList(const wxString& text)
{
    std::vector<std::string> parts;
    const std::string utf8 = text.utf8_string();
    size_t start = 0;
    while (start <= utf8.size()) {
        size_t end = utf8.find(';', start);
        if (end == std::string::npos)
            end = utf8.size();
        std::string_view part(utf8.data() + start, end - start);
        const size_t first = part.find_first_not_of(" \t");
        if (first != npos)
            parts.emplace_back(part.substr(first, part.find_last_not_of(" \t") - first + 1));
        start = end + 1;
    }
    return parts;
}

std::u32string UpperCodePoints(std::string_view text)
{
    std::u32string out;
    size_t pos = 0;
    while (pos < text.size())
        out += utf8::ToUpper(utf8::Next(text, pos));
    return out;
}

// "*" (any run) and "?" (one character) over upper-cased code points.
bool Glob(std::u32string_view pattern, std::u32string_view name)
{
    size_t p = 0, n = 0, starP = npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

// A file name against a pattern the way the other desktop's file search matches it: in any case;
// a trailing ".*" also matches names without a dot ("*.*" is every name) and a trailing "."
// matches only names without one ("*." is the names without an extension).
bool MatchesFilePattern(std::string_view pattern, std::string_view name)
{
    const std::u32string p = UpperCodePoints(pattern);
    const std::u32string n = UpperCodePoints(name);
    const std::u32string_view pv(p);
    if (pv.size() >= 2 && pv.substr(pv.size() - 2) == U".*")
        return Glob(pv, n) || Glob(pv.substr(0, pv.size() - 2), n);
    if (!pv.empty() && pv.back() == U'.')
        return n.find(U'.') == std::u32string::npos && Glob(pv.substr(0, pv.size() - 1), n);
    return Glob(pv, n);
}

// Text fit for one line of the report: bytes that are no UTF-8 read as Windows-1252, and control
// characters (a lone CR, NUL, form feed...) as blanks, so that one hit never takes two lines.
void AppendDisplayText(std::string& out, std::string_view text)
{
    const size_t from = out.size();
    if (utf8::IsValid(text))
        out.append(text);
    else
        out += utf8::FromWindows1252(text);
    for (size_t i = from; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x20 && c != '\t')
            out[i] = ' ';
    }
}

std::string DisplayText(std::string_view text)
{
    std::string out;
    AppendDisplayText(out, text);
    return out;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

enum class EntryKind { File, Folder, LinkedFolder };

struct Entry {
    std::string name;
    EntryKind kind;
};

EntryKind KindOfLink(int dirFd, const char* name)
{
    struct stat target;
    return fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode) ? EntryKind::LinkedFolder
                                                                             : EntryKind::File;
}

// The entries of a folder sorted by name, without "." and "..". False with the system error when
// the folder cannot be read.
bool ListFolder(const std::string& path, std::vector<Entry>& entries, int& error)
{
    DIR* dir = opendir(path.c_str());
    if (!dir) {
        error = errno;
        return false;
    }
    const int fd = dirfd(dir);
    while (const dirent* d = readdir(dir)) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
            continue;
        EntryKind kind = EntryKind::File;
        if (d->d_type == DT_DIR) {
            kind = EntryKind::Folder;
        } else if (d->d_type == DT_LNK) {
            kind = KindOfLink(fd, d->d_name);
        } else if (d->d_type == DT_UNKNOWN) {
            struct stat st;
            if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
                if (S_ISDIR(st.st_mode))
                    kind = EntryKind::Folder;
                else if (S_ISLNK(st.st_mode))
                    kind = KindOfLink(fd, d->d_name);
            }
        }
        entries.push_back({d->d_name, kind});
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return true;
}

wxString SystemErrorText(int error)
{
    return wxSysErrorMsgStr(static_cast<unsigned long>(error));
}

wxString FileErrorText(int error)
{
    return GetFileExceptionText(CFileException::ErrnoToCause(error));
}

// The whole regular file into bytes. False with the system error when it cannot be opened or
// read; true with special set for a file that is no regular file (a pipe would block the window).
bool ReadRegularFile(const std::string& path, std::string& bytes, bool& special, int& error)
{
    special = false;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        error = errno;
        close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        special = true;
        close(fd);
        return true;
    }
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    size_t size = 0;
    for (;;) {
        if (size == bytes.size())
            bytes.resize(bytes.size() * 2);
        const ssize_t n = read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        size += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(size);
    return true;
}

// The start of the code point before text[pos].
size_t PreviousCodePoint(std::string_view text, size_t pos)
{
    do
        --pos;
    while (pos > 0 && utf8::IsContinuationByte(text[pos]));
    return pos;
}

// The whole-word test of the occurrence [start, end) in line, on the characters around it alone.
bool IsWholeWordIn(std::string_view line, size_t start, size_t end)
{
    const size_t from = start > 0 ? PreviousCodePoint(line, start) : 0;
    size_t to = end;
    if (to < line.size())
        utf8::Next(line, to);
    const wxString around = wxString::FromUTF8(line.data() + from, to - from);
    const std::string_view match = line.substr(start, end - start);
    return IsWholeWordAt(start > from ? 1 : 0, around, static_cast<long>(utf8::CountCodePoints(match)));
}

} // namespace

// Finds the search text in a buffer. Case is ignored as FindNoCase ignores it; the candidates are
// the bytes that can begin a character equal to the text's first one, so most of the buffer is
// passed over byte by byte without decoding.
class CFindInFiles::COccurrenceFinder {
public:
    COccurrenceFinder(std::string pattern, bool matchCase)
        : m_pattern(std::move(pattern)), m_matchCase(matchCase)
    {
        // A line never holds a line break, and an empty text finds nothing.
        m_never = m_pattern.empty() || m_pattern.find('\n') != std::string::npos;
        if (m_never || m_matchCase)
            return;
        size_t pos = 0;
        const char32_t first = utf8::Next(m_pattern, pos);
        const char32_t upper = utf8::ToUpper(first);
        std::string encoded;
        for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
            if (cp == 0xD800)
                cp = 0xE000;
            if (cp != first && utf8::ToUpper(cp) != upper)
                continue;
            encoded.clear();
            utf8::Append(encoded, cp);
            m_firstBytes[static_cast<unsigned char>(encoded[0])] = true;
        }
    }

    // The first occurrence that lies wholly in text[from, to), and end past it; npos when none.
    size_t Find(std::string_view text, size_t from, size_t to, size_t& end) const
    {
        if (m_never || from >= to)
            return npos;
        const std::string_view window = text.substr(0, to);
        if (m_matchCase) {
            const size_t p = window.find(m_pattern, from);
            if (p != npos)
                end = p + m_pattern.size();
            return p;
        }
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(window.data());
        for (size_t i = from; i < to; ++i) {
            if (!m_firstBytes[bytes[i]])
                continue;
            const long e = MatchNoCaseAt(window, i, m_pattern);
            if (e >= 0) {
                end = static_cast<size_t>(e);
                return i;
            }
        }
        return npos;
    }

private:
    std::string m_pattern;
    bool m_matchCase;
    bool m_never = false;
    std::array<bool, 256> m_firstBytes{};
};

struct CFindInFiles::Walk {
    struct Frame {
        std::string path;
        std::vector<Entry> entries;
        size_t index = 0;
        bool subfolders = false; // past the files, entering the subfolders
    };
    std::string pattern;
    std::vector<Frame> stack;
};

struct CFindInFiles::FileScan {
    std::string path;
    std::string text;      // decoded, UTF-8
    size_t pos = 0;        // start of the next line to search
    size_t counted = 0;    // the line number below is that of the line starting here
    long line = 1;
    long matchingLines = 0;
};

CFindInFiles::CFindInFiles(CFindInFilesRequest request, Clock clock)
    : m_request(std::move(request)), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return std::chrono::steady_clock::now(); };
    m_findWhat = m_request.findWhat.utf8_string();
    m_finder = std::make_unique<COccurrenceFinder>(m_findWhat, m_request.matchCase);
    m_patterns = SplitList(m_request.filesOfType);
    m_skippedTypes = SplitList(m_request.skippedFileTypes);
    m_allTypes = EqualsNoCase(m_request.filesOfType.utf8_string(), "*.*");

    std::error_code ec;
    std::filesystem::path base = m_request.workingFolder.empty()
                                     ? std::filesystem::current_path(ec)
                                     : std::filesystem::path(m_request.workingFolder.utf8_string());
    for (const std::string& part : SplitList(m_request.lookIn)) {
        std::filesystem::path folder(part);
        if (folder.is_relative())
            folder = base / folder;
        std::string absolute = folder.lexically_normal().string();
        while (absolute.size() > 1 && absolute.back() == '/')
            absolute.pop_back();
        m_folders.push_back(std::move(absolute));
    }

    m_pending = HeaderText(m_request).utf8_string();
    m_reportLines = static_cast<long>(std::count(m_pending.begin(), m_pending.end(), '\n'));
}

CFindInFiles::~CFindInFiles() = default;

wxString CFindInFiles::HeaderText(const CFindInFilesRequest& request)
{
    const auto yesNo = [](bool flag) { return flag ? "Yes" : "No"; };
    const auto shown = [](const wxString& text) { return wxString::FromUTF8(DisplayText(text.utf8_string())); };
    return wxString::Format("             Find what: %s\n", shown(request.findWhat))
           + wxString::Format("         Files of type: %s\n", shown(request.filesOfType))
           + wxString::Format("               Look in: %s\n", shown(request.lookIn))
           + wxString::Format(" Match whole word only: %s\n", yesNo(request.matchWholeWord))
           + wxString::Format("    Look in subfolders: %s\n", yesNo(request.lookInSubfolders))
           + wxString::Format("            Match case: %s\n", yesNo(request.matchCase))
           + wxString::Format("Output file names only: %s\n\n", yesNo(request.fileNamesOnly));
}

wxString CFindInFiles::OccurrencesText() const
{
    return wxString::Format("%ld occurrence(s) have been found", m_occurrences);
}

const CFindInFilesHit* CFindInFiles::HitAtReportLine(long reportLine) const
{
    const auto it = std::lower_bound(m_hits.begin(), m_hits.end(), reportLine,
                                     [](const CFindInFilesHit& hit, long line) { return hit.reportLine < line; });
    return it != m_hits.end() && it->reportLine == reportLine ? &*it : nullptr;
}

wxString CFindInFiles::TakeOutput()
{
    const auto now = m_clock();
    if (m_headerTaken) {
        if (m_pending.empty() || (!m_done && now - m_lastTake < kFindOutputInterval))
            return {};
    }
    m_headerTaken = true;
    m_lastTake = now;
    wxString text = wxString::FromUTF8(m_pending);
    m_pending.clear();
    return text;
}

bool CFindInFiles::Step()
{
    long budget = kStepBudget;
    while (budget > 0 && !m_done) {
        if (m_stop)
            Finish();
        else if (m_file)
            budget = StepFile(budget);
        else if (!m_walk)
            StartNextWalk();
        else
            budget = StepWalk(budget);
    }
    return m_done;
}

void CFindInFiles::StartNextWalk()
{
    while (m_folderIndex < m_folders.size()) {
        if (m_patternIndex >= m_patterns.size()) {
            ++m_folderIndex;
            m_patternIndex = 0;
            continue;
        }
        const std::string& folder = m_folders[m_folderIndex];
        Walk::Frame root;
        root.path = folder;
        int error = 0;
        if (!ListFolder(folder, root.entries, error)) {
            AddErrorLine(folder, SystemErrorText(error));
            ++m_folderIndex;
            m_patternIndex = 0;
            continue;
        }
        m_walk = std::make_unique<Walk>();
        m_walk->pattern = m_patterns[m_patternIndex++];
        m_walk->stack.push_back(std::move(root));
        m_status = "Searching " + wxString::FromUTF8(DisplayText(folder));
        return;
    }
    Finish();
}

long CFindInFiles::StepWalk(long budget)
{
    while (budget > 0 && !m_walk->stack.empty()) {
        Walk::Frame& frame = m_walk->stack.back();
        if (frame.index >= frame.entries.size()) {
            if (!frame.subfolders && m_request.lookInSubfolders) {
                frame.subfolders = true;
                frame.index = 0;
                continue;
            }
            m_walk->stack.pop_back();
            if (!m_walk->stack.empty())
                m_status = "Searching " + wxString::FromUTF8(DisplayText(m_walk->stack.back().path));
            continue;
        }
        const Entry& entry = frame.entries[frame.index++];
        budget -= kEntryCost;
        const std::string path = JoinPath(frame.path, entry.name);
        if (frame.subfolders) {
            if (entry.kind != EntryKind::Folder)
                continue;
            Walk::Frame child;
            child.path = path;
            int error = 0;
            if (!ListFolder(path, child.entries, error)) {
                AddErrorLine(path, SystemErrorText(error));
                continue;
            }
            m_status = "Searching " + wxString::FromUTF8(DisplayText(path));
            m_walk->stack.push_back(std::move(child));
            continue;
        }
        if (entry.kind != EntryKind::File || !MatchesFilePattern(m_walk->pattern, entry.name))
            continue;
        if (m_allTypes) {
            if (entry.name[0] == '.')
                continue;
            const size_t dot = entry.name.rfind('.');
            const std::string type = "*." + (dot == std::string::npos ? std::string() : entry.name.substr(dot + 1));
            if (std::any_of(m_skippedTypes.begin(), m_skippedTypes.end(),
                            [&](const std::string& skipped) { return EqualsNoCase(skipped, type); }))
                continue;
        }
        if (OpenFile(path))
            return budget - kFileCost - static_cast<long>(std::min<size_t>(m_file->text.size(), kStepBudget));
    }
    if (m_walk->stack.empty())
        m_walk.reset();
    return budget;
}

bool CFindInFiles::OpenFile(const std::string& path)
{
    std::string bytes;
    bool special = false;
    int error = 0;
    bool read = false;
    try {
        read = ReadRegularFile(path, bytes, special, error);
    } catch (const std::bad_alloc&) {
        error = ENOMEM;
    }
    if (!read) {
        AddErrorLine(path, FileErrorText(error));
        return false;
    }
    if (special)
        return false;
    ++m_filesSearched;
    m_file = std::make_unique<FileScan>();
    m_file->path = path;
    m_file->text = CQueryFileCodec::Decode(bytes).utf8;
    return true;
}

long CFindInFiles::StepFile(long budget)
{
    FileScan& file = *m_file;
    const std::string_view text(file.text);
    const size_t size = text.size();
    while (budget > 0 && file.pos < size) {
        // Scan whole lines, about the budget's worth.
        size_t scanTo = size;
        if (file.pos + static_cast<size_t>(budget) < size) {
            scanTo = text.find('\n', file.pos + static_cast<size_t>(budget));
            if (scanTo == npos)
                scanTo = size;
        }
        size_t matchEnd = 0;
        const size_t found = m_finder->Find(text, file.pos, scanTo, matchEnd);
        if (found == npos) {
            budget -= static_cast<long>(scanTo - file.pos) + 1;
            file.pos = scanTo < size ? scanTo + 1 : size;
            continue;
        }
        size_t lineStart = file.pos;
        if (found > file.pos) {
            const void* lastBreak = memrchr(text.data() + file.pos, '\n', found - file.pos);
            if (lastBreak)
                lineStart = static_cast<size_t>(static_cast<const char*>(lastBreak) - text.data()) + 1;
        }
        size_t lineEnd = text.find('\n', found);
        if (lineEnd == npos)
            lineEnd = size;
        const size_t contentEnd = lineEnd > lineStart && text[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd;
        const std::string_view line = text.substr(lineStart, contentEnd - lineStart);

        // The first occurrence, or with whole word the first whole one, as a word search of
        // grep finds "id" in "valid id".
        size_t hit = npos;
        for (size_t at = found; at != npos && matchEnd <= contentEnd;) {
            if (!m_request.matchWholeWord || IsWholeWordIn(line, at - lineStart, matchEnd - lineStart)) {
                hit = at;
                break;
            }
            size_t next = at;
            utf8::Next(text, next);
            at = m_finder->Find(text, next, contentEnd, matchEnd);
        }
        budget -= static_cast<long>(lineEnd - file.pos) + 1;
        file.pos = lineEnd < size ? lineEnd + 1 : size;
        if (hit == npos)
            continue;
        file.line += static_cast<long>(std::count(text.begin() + static_cast<long>(file.counted),
                                                  text.begin() + static_cast<long>(lineStart), '\n'));
        file.counted = lineStart;
        ++file.matchingLines;
        AddHit(file.line, line, static_cast<long>(hit - lineStart), static_cast<long>(matchEnd - hit));
        if (m_request.fileNamesOnly)
            file.pos = size;
    }
    if (file.pos >= size)
        FinishFile();
    return budget;
}

void CFindInFiles::FinishFile()
{
    if (m_file->matchingLines > 0)
        ++m_matchingFiles;
    m_file.reset();
}

void CFindInFiles::AddHit(long lineNumber, std::string_view lineText, long position, long length)
{
    ++m_occurrences;
    m_hits.push_back({m_file->path, lineNumber, position, length, m_reportLines});
    std::string out = DisplayText(m_file->path);
    if (!m_request.fileNamesOnly) {
        out += " (" + std::to_string(lineNumber) + "): ";
        AppendDisplayText(out, lineText);
    }
    AppendLine(out);
}

void CFindInFiles::AddErrorLine(const std::string& path, const wxString& text)
{
    AppendLine(DisplayText(path) + " (Error): " + DisplayText(text.utf8_string()));
}

void CFindInFiles::AppendLine(std::string_view text)
{
    m_pending.append(text);
    m_pending += '\n';
    ++m_reportLines;
}

void CFindInFiles::Finish()
{
    m_file.reset();
    m_walk.reset();
    if (m_stop) {
        m_status = "Find in files canceled";
        AppendLine("Canceled.");
    } else {
        m_status = "Find in files completed";
        AppendLine(wxString::Format("Total occurrences found: %ld; Matching files: %ld; Total files searched: %ld",
                                    m_occurrences, m_matchingFiles, m_filesSearched)
                       .utf8_string());
    }
    m_done = true;
}
