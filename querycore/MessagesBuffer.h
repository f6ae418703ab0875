// The two text buffers of a run (the messages of a grid-mode run, the whole output of a text-mode
// run) and the numbered error tags that error navigation walks. The run state holds them and
// takes its lock around every use; nothing here locks.
#pragma once

#include <wx/string.h>

#include <vector>

// Adds text to a buffer: "\n\n" first when the buffer already holds something.
void AppendOutputText(wxString& buffer, const wxString& text);

// "<ebN>" + text + "</ebN>": the text trimmed, "Errors occurred." when that leaves nothing;
// then every LF of the tag becomes CR and every CR CR pair one CR, so a tag is one paragraph
// of CR-separated lines.
wxString FormatErrorTag(int number, const wxString& text);

struct CErrorTagEntry {
    wxString tag;
    long batchStart = 0; // editor character position where the failed batch began
};

// The error tags of one execution, numbered from 1 in order of creation.
class CErrorTagList {
public:
    // AddErrorBatchTag: the next tag for the text, recorded with the batch start.
    wxString Add(const wxString& text, long batchStart);
    // Empties the list at the start of an execution.
    void Reset();

    int GetCount() const { return m_nErrorTagCount; }
    const std::vector<CErrorTagEntry>& GetEntries() const { return m_entries; }
    bool IsEmpty() const { return m_entries.empty(); }

    // Next and Previous Error Batch: the cursor moves on (from before the first entry to the
    // first, past the last back to the first) or back (from before the first or from the first
    // to the last) and the entry it lands on is returned; null when the list is empty.
    const CErrorTagEntry* MoveNext();
    const CErrorTagEntry* MovePrevious();
    // FindErrorBatch: the cursor goes to the first entry whose tag equals tag exactly and its
    // batch start is returned; -1 when none does, the cursor then standing past the last entry.
    long Find(const wxString& tag);

    // The entry error navigation stands on; -1 before the first, the entry count past the last.
    int m_nCurrent = -1;

private:
    int m_nErrorTagCount = 0;
    std::vector<CErrorTagEntry> m_entries;
};
