// Cuts SQL text into batches at separator lines ("GO" by default): a line that holds the
// separator alone, in any letter case, with nothing but blanks and tabs around it. Lines end in
// LF, CR LF or CR. Used by the query window's splitter thread; needs no window.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

struct Batch {
    // The text between two separator lines: from just after the previous separator (the rest
    // of its line included) up to the separator (the blanks in front of it on its line
    // included). Empty or blank batches are kept; they complete without running.
    std::string text;
    // Where the batch's first non-blank character stands in the split text (its start when it is
    // blank): as a byte offset, and as a character position (CTextPositions::ByteToChar of the
    // offset).
    size_t offset = 0;
    long position = 0;
};

class BatchSplitter {
public:
    // The separator in force for a "Batch Separator" setting: empty, or holding a blank, TAB,
    // CR or LF, means "GO"; "<NULL>" in any letter case means none (empty: no splitting).
    static std::string SeparatorFromSetting(std::string_view setting);

    // separator: as SeparatorFromSetting gives it; empty means the whole text is one batch.
    explicit BatchSplitter(std::string separator);

    const std::string& Separator() const { return m_separator; }

    // The batches of text, in order. Text without any separator line is one batch; text with
    // one always ends with the batch after its last separator line, however blank. When stop
    // becomes non-zero the split ends early with the batches found so far.
    std::vector<Batch> Split(std::string_view text, const std::atomic<int>* stop = nullptr) const;

    // True when line (without its line end) is a separator line.
    bool IsSeparatorLine(std::string_view line) const;

    // The line (counted from 1; line ends as Split reads them) of the first NUL character of
    // text, or 0 when it holds none. Drivers read statement text only up to a NUL, so SQL that
    // holds one would run cut short without a word: such text is refused, never run.
    static size_t LineOfNulCharacter(std::string_view text);
    // The refusal of text read from file whose line holds a NUL character: "'<file>'.\n" and
    // the line's fault.
    static std::string NulCharacterRefusal(std::string_view file, size_t line);

    // The text to run for a batch: trimmed of white space at both ends, every line end as LF
    // (drivers end "--" comments only at LF).
    static std::string PrepareBatchText(std::string_view batch);

private:
    std::string m_separator;
};
