// Where the error tags stand in the results text: the tag around a position, and the part of a
// line that showing an error selects. The text is the control's own UTF-8 bytes and positions
// are byte offsets into it, so they are the control's positions; the tags are ASCII.
//
// An error tag is "<ebN>" + text + "</ebN>" with CR between its lines (MessagesBuffer.h);
// the messages between tags end their lines with LF.
#pragma once

#include <string>
#include <string_view>

namespace error_batch_text {

inline constexpr std::string_view kOpenTag = "<eb";
inline constexpr std::string_view kCloseTag = "</eb";

// The whole tag (opening and closing tags included) from the last "<eb" at or before pos to
// the first closing tag that ends after it; empty when pos lies in no such stretch of text.
// Between two tags this yields the text from one tag to the next, which is no tag the list
// knows.
std::string TagAt(std::string_view text, size_t pos);

struct Selection {
    size_t start = 0;
    size_t end = 0;
};

// What showing the error at pos selects: on a line holding an opening tag, the text from just
// after that tag to the closing tag (across lines when the error has several); on the last line
// of a multi-line error, the line up to its closing tag; elsewhere the whole line, at least one
// character. Lines end at CR or LF.
Selection MessageLineSelection(std::string_view text, size_t pos);

} // namespace error_batch_text
