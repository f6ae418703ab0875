#include "ConnectStringUtil.h"

#include "common/TrimText.h"

#include <algorithm>
#include <cctype>

namespace {

// Position of needle in text ignoring ASCII case, or npos.
size_t FindAsciiNoCase(std::string_view text, std::string_view needle)
{
    auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
    return it == text.end() && !needle.empty() ? std::string_view::npos
                                               : static_cast<size_t>(it - text.begin());
}

} // namespace

std::string BuildMsdasqlConnectString(std::string_view driver)
{
    return std::string("PROVIDER=") + "MSDASQL;" + "Persist Security Info=False;Extended Properties=\"" +
           "DRIVER={" + std::string(driver) + "};\"";
}

std::string ExtractDriverLogin(std::string_view connectString)
{
    size_t start = FindAsciiNoCase(connectString, "DRIVER={");
    if (start != std::string_view::npos) {
        start += 8;
    } else {
        start = FindAsciiNoCase(connectString, "DRIVER=");
        if (start == std::string_view::npos)
            return {};
        start += 7;
    }
    std::string_view rest = connectString.substr(start);
    std::string login(rest.substr(0, rest.find_first_of(";}")));
    std::erase_if(login, [](char c) { return c == '{' || c == '}'; });
    return std::string(TrimWhitespace(login));
}

bool IsDsnLessConnectString(std::string_view connectString)
{
    return FindAsciiNoCase(connectString, "DRIVER={") != std::string_view::npos;
}

bool HasProviderKeyword(std::string_view connectString)
{
    return FindAsciiNoCase(connectString, "PROVIDER=") != std::string_view::npos;
}

std::string MakeRetryConnectString(std::string_view connectString)
{
    std::string s(connectString);
    if (s.find(";Persist Security Info=") == std::string::npos)
        s += ";Persist Security Info=False";
    constexpr std::string_view from = "Persist Security Info=False";
    constexpr std::string_view to = "Persist Security Info=True";
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
    return s;
}

bool RetryWithPromptProperty(std::string_view connectString)
{
    return connectString.find("Provider=MSOLAP") == std::string_view::npos;
}

bool IsCancelledPromptText(std::string_view message)
{
    return message.find("Operation was canceled.") != std::string_view::npos ||
           message.find("Operation Canceled") != std::string_view::npos;
}
