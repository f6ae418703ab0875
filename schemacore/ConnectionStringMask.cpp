#include "ConnectionStringMask.h"

#include "ado/ConnectionString.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace {

using ado::detail::ConnectionStringError;
using ado::detail::ConnectionStringSyntax;
using ado::detail::WrittenAttribute;

// The value back in its quotes or braces, the closing character doubled inside.
std::string Enclose(std::string_view value, char open)
{
    const char close = open == '{' ? '}' : open;
    std::string out(1, open);
    for (char c : value) {
        out += c;
        if (c == close)
            out += close;
    }
    out += close;
    return out;
}

// The text with its password values masked, or nothing when the connection could not read it.
std::optional<std::string> MaskReadable(std::string_view text, ConnectionStringSyntax syntax)
{
    std::vector<WrittenAttribute> attributes;
    try {
        ado::detail::VisitConnectionString(text, syntax, [&](const WrittenAttribute& a) { attributes.push_back(a); });
    } catch (const ConnectionStringError&) {
        return std::nullopt;
    }
    std::string out(text);
    // From the end, so that the places of the earlier values stay valid.
    for (auto it = attributes.rbegin(); it != attributes.rend(); ++it) {
        const WrittenAttribute& a = *it;
        std::string replacement;
        if (ado::detail::IsPasswordKeyword(a.attribute.key)) {
            replacement = kPasswordMask;
        } else if (syntax == ConnectionStringSyntax::Ado && ado::detail::KeywordIs(a.attribute.key, "Extended Properties")) {
            std::optional<std::string> inner = MaskReadable(a.attribute.value, ConnectionStringSyntax::Odbc);
            if (!inner)
                return std::nullopt;
            if (*inner == a.attribute.value)
                continue;
            replacement = a.enclosure ? Enclose(*inner, a.enclosure) : *inner;
        } else {
            continue;
        }
        out.replace(a.valueBegin, a.valueEnd - a.valueBegin, replacement);
    }
    return out;
}

// Where a word that may name a password begins, or npos.
size_t FirstPasswordWord(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::min(lower.find("pwd"), lower.find("password"));
}

} // namespace

std::string MaskConnectionPasswords(std::string_view text)
{
    if (std::optional<std::string> masked = MaskReadable(text, ConnectionStringSyntax::Ado))
        return *masked;
    const size_t word = FirstPasswordWord(text);
    if (word == std::string_view::npos)
        return std::string(text);
    return std::string(text.substr(0, word)) + kPasswordMask;
}

wxString MaskConnectionPasswords(const wxString& text)
{
    return wxString::FromUTF8(MaskConnectionPasswords(std::string_view(text.utf8_string())));
}
