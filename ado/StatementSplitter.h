// Cuts a batch into single statements for drivers that run one statement per call, so the
// layer can return the statements' results one after another as a batch-capable driver does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ado::detail {

// A ";" ends a statement, except inside quotes ('...', "...", `...`, [...]), comments
// (-- to the end of the line, /* ... */) and the body of CREATE [TEMP] TRIGGER ... BEGIN ...
// END, which ends only at "END;" following a ";". Each statement is returned trimmed and
// without its ";"; pieces holding nothing but blanks and comments are left out. An
// unterminated quote or comment runs to the end of the text, leaving the driver to report it.
std::vector<std::string> SplitStatements(std::string_view batch);

// Rewrites one statement for a driver that refuses any ";" it finds outside string literals,
// knowing neither comments nor bracketed identifiers: comments holding ";" are dropped (a line
// comment keeps its line end) and [...] or `...` identifiers holding ";" become "..."
// identifiers, which mean the same. Everything else stays as written.
std::string MaskSemicolons(std::string_view statement);

} // namespace ado::detail
