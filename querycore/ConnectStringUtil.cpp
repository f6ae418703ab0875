#include "ConnectStringUtil.h"

#include "ado/ConnectionString.h"
#include "common/TrimText.h"

#include <algorithm>
#include <functional>

namespace {

using ado::detail::ConnectionStringSyntax;
using ado::detail::WrittenAttribute;

bool IsKey(const WrittenAttribute& a, std::string_view keyword)
{
    return ado::detail::KeywordIs(a.attribute.key, keyword);
}

// Visits the attributes of an ADO connect string as the connection reads them, those of its
// Extended Properties (the ODBC attributes) in their place, up to the end or to the first fault.
void VisitAttributes(std::string_view connectString, const std::function<void(const WrittenAttribute&)>& visit)
{
    try {
        ado::detail::VisitConnectionString(connectString, ConnectionStringSyntax::Ado, [&](const WrittenAttribute& a) {
            if (IsKey(a, "Extended Properties"))
                ado::detail::VisitConnectionString(a.attribute.value, ConnectionStringSyntax::Odbc, visit);
            else
                visit(a);
        });
    } catch (const ado::detail::ConnectionStringError&) {
    }
}

} // namespace

std::string BuildMsdasqlConnectString(std::string_view driver)
{
    return std::string("PROVIDER=") + "MSDASQL;" + "Persist Security Info=False;Extended Properties=\"" +
           "DRIVER={" + std::string(driver) + "};\"";
}

std::string ExtractDriverLogin(std::string_view connectString)
{
    std::string login;
    VisitAttributes(connectString, [&](const WrittenAttribute& a) {
        if (IsKey(a, "DRIVER"))
            login = a.attribute.value;
    });
    // No driver name holds these: what follows one is never a name worth remembering.
    login.erase(std::min(login.size(), login.find_first_of(";}")));
    std::erase(login, '{');
    return std::string(TrimWhitespace(login));
}

bool IsDsnLessConnectString(std::string_view connectString)
{
    bool driverInBraces = false;
    VisitAttributes(connectString, [&](const WrittenAttribute& a) {
        driverInBraces = driverInBraces || (IsKey(a, "DRIVER") && a.enclosure == '{');
    });
    return driverInBraces;
}

bool HasProviderKeyword(std::string_view connectString)
{
    bool provider = false;
    try {
        ado::detail::VisitConnectionString(connectString, ConnectionStringSyntax::Ado,
                                           [&](const WrittenAttribute& a) { provider = provider || IsKey(a, "Provider"); });
    } catch (const ado::detail::ConnectionStringError&) {
    }
    return provider;
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
