#include "StatementSplitter.h"

#include <algorithm>
#include <cctype>

namespace ado::detail {

namespace {

bool IsWordChar(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '$' || u >= 0x80;
}

bool WordIs(std::string_view word, std::string_view keyword)
{
    return word.size() == keyword.size() && std::equal(word.begin(), word.end(), keyword.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == b;
           });
}

// Recognises CREATE [TEMP|TEMPORARY] TRIGGER at the start of a statement (after an optional
// EXPLAIN [QUERY PLAN]) and then where its body ends.
class TriggerTracker {
public:
    void Reset() { *this = TriggerTracker(); }

    void Word(std::string_view w)
    {
        switch (m_state) {
        case State::Start:
            m_state = WordIs(w, "EXPLAIN") ? State::Explain : WordIs(w, "CREATE") ? State::Create : State::Normal;
            break;
        case State::Explain:
            m_state = WordIs(w, "QUERY") ? State::Query : WordIs(w, "CREATE") ? State::Create : State::Normal;
            break;
        case State::Query:
            m_state = WordIs(w, "PLAN") ? State::Plan : State::Normal;
            break;
        case State::Plan:
            m_state = WordIs(w, "CREATE") ? State::Create : State::Normal;
            break;
        case State::Create:
            m_state = (WordIs(w, "TEMP") || WordIs(w, "TEMPORARY")) ? State::Temp
                      : WordIs(w, "TRIGGER")                         ? State::Trigger
                                                                     : State::Normal;
            break;
        case State::Temp:
            m_state = WordIs(w, "TRIGGER") ? State::Trigger : State::Normal;
            break;
        case State::TriggerSemi:
            m_state = WordIs(w, "END") ? State::TriggerEnd : State::Trigger;
            break;
        case State::TriggerEnd:
            m_state = State::Trigger;
            break;
        case State::Trigger:
        case State::Normal:
            break;
        }
    }

    void Other()
    {
        if (m_state == State::TriggerSemi || m_state == State::TriggerEnd)
            m_state = State::Trigger;
        else if (m_state != State::Trigger)
            m_state = State::Normal;
    }

    // True when this ";" ends the statement.
    bool Semicolon()
    {
        switch (m_state) {
        case State::Trigger:
        case State::TriggerSemi:
            m_state = State::TriggerSemi;
            return false;
        default:
            return true;
        }
    }

private:
    enum class State { Start, Explain, Query, Plan, Create, Temp, Normal, Trigger, TriggerSemi, TriggerEnd };
    State m_state = State::Start;
};

// The pieces both scans step over whole: comments, and quoted text or names.
enum class PieceKind { LineComment, BlockComment, Quoted, Other };

struct Piece {
    PieceKind kind;
    size_t end;          // just past the piece
    bool closed = false; // a quoted piece that has its closing quote
};

// The piece that starts at i. A line comment ends before its line break; an unclosed comment
// or quoted piece runs to the end of the text; a doubled closing quote stays inside; any
// other piece is one character.
Piece PieceAt(std::string_view text, size_t i)
{
    const size_t n = text.size();
    const char c = text[i];
    if (c == '-' && i + 1 < n && text[i + 1] == '-') {
        size_t eol = text.find('\n', i);
        return {PieceKind::LineComment, eol == std::string_view::npos ? n : eol};
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
        size_t close = text.find("*/", i + 2);
        return {PieceKind::BlockComment, close == std::string_view::npos ? n : close + 2};
    }
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
        const char close = c == '[' ? ']' : c;
        for (size_t j = i + 1; j < n; ++j) {
            if (text[j] != close)
                continue;
            if (close != ']' && j + 1 < n && text[j + 1] == close) {
                ++j;
                continue;
            }
            return {PieceKind::Quoted, j + 1, true};
        }
        return {PieceKind::Quoted, n};
    }
    return {PieceKind::Other, i + 1};
}

} // namespace

std::vector<std::string> SplitStatements(std::string_view text)
{
    std::vector<std::string> out;
    TriggerTracker trigger;
    size_t start = 0;
    bool significant = false;
    auto finish = [&](size_t end) {
        if (significant) {
            std::string_view piece = text.substr(start, end - start);
            size_t b = piece.find_first_not_of(" \t\r\n");
            size_t e = piece.find_last_not_of(" \t\r\n");
            out.emplace_back(piece.substr(b, e - b + 1));
        }
        significant = false;
        trigger.Reset();
    };

    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        const Piece piece = PieceAt(text, i);
        const char c = text[i];
        if (piece.kind == PieceKind::LineComment || piece.kind == PieceKind::BlockComment) {
            i = piece.end;
        } else if (piece.kind == PieceKind::Quoted) {
            i = piece.end;
            significant = true;
            trigger.Other();
        } else if (c == ';') {
            if (trigger.Semicolon()) {
                finish(i);
                start = i + 1;
            }
            ++i;
        } else if (IsWordChar(c)) {
            size_t j = i;
            while (j < n && IsWordChar(text[j]))
                ++j;
            trigger.Word(text.substr(i, j - i));
            significant = true;
            i = j;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else {
            trigger.Other();
            significant = true;
            ++i;
        }
    }
    finish(n);
    return out;
}

std::string MaskSemicolons(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const Piece piece = PieceAt(text, i);
        const char c = text[i];
        const std::string_view whole = text.substr(i, piece.end - i);
        const bool semicolon = whole.find(';') != std::string_view::npos;
        if (piece.kind == PieceKind::LineComment) {
            if (!semicolon)
                out += whole;
        } else if (piece.kind == PieceKind::BlockComment) {
            out += semicolon ? std::string_view(" ") : whole;
        } else if (piece.kind == PieceKind::Quoted && (c == '[' || c == '`') && piece.closed && semicolon) {
            std::string_view name = whole.substr(1, whole.size() - 2);
            out += '"';
            for (size_t k = 0; k < name.size(); ++k) {
                if (c == '`' && name[k] == '`' && k + 1 < name.size() && name[k + 1] == '`')
                    ++k;
                if (name[k] == '"')
                    out += '"';
                out += name[k];
            }
            out += '"';
        } else {
            out += whole;
        }
        i = piece.end;
    }
    return out;
}

} // namespace ado::detail
