// The two text buffers of a run (the messages of a grid-mode run, the whole output of a text-mode
// run) and the numbered error tags that error navigation walks. Every read and write of the
// buffers and the tag list happens under the run state's m_csOutput.
#pragma once

#include <wx/string.h>

#include <vector>

class CQueryRunState;

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

// Under m_csOutput: text added to the output buffer of the mode (the text output in text and
// save mode, else the messages).
void AppendRunOutput(CQueryRunState& state, bool textOutput, const wxString& text);
// Under m_csOutput: a new error tag for text, added to the output buffer of the mode.
void AppendRunError(CQueryRunState& state, bool textOutput, const wxString& text, long batchStart);
