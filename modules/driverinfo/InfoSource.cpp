#include "InfoSource.h"

#include <fmt/format.h>

namespace ferrow {

DriverError::DriverError(std::string errorText, std::string stateText)
    : std::runtime_error(errorText + stateText), m_errorText(std::move(errorText)), m_stateText(std::move(stateText))
{
}

std::string DriverError::Description() const
{
    std::string text = m_errorText.empty() ? m_stateText : m_errorText + m_stateText;
    return text.empty() ? "Errors occurred." : text;
}

namespace {

std::string MapLetter(InfoSource& source, uint16_t infoType, const char* yes, const char* no)
{
    const std::optional<std::string> answer = source.GetInfoString(infoType);
    if (!answer)
        return kNotReported;
    if (*answer == "Y")
        return yes;
    if (*answer == "N")
        return no;
    return *answer;
}

template <class T>
std::string FormatNumber(const std::optional<T>& answer)
{
    if (!answer)
        return kNotReported;
    return *answer == 0 ? std::string(kNone) : fmt::format("{}", *answer);
}

} // namespace

std::string GetInfoYesNo(InfoSource& source, uint16_t infoType)
{
    return MapLetter(source, infoType, "Yes", "No");
}

std::string GetInfoSupported(InfoSource& source, uint16_t infoType)
{
    return MapLetter(source, infoType, "Supported", "Not Supported");
}

std::string FormatInfoWord(InfoSource& source, uint16_t infoType)
{
    return FormatNumber(source.GetInfoWord(infoType));
}

std::string FormatInfoDword(InfoSource& source, uint16_t infoType)
{
    return FormatNumber(source.GetInfoDword(infoType));
}

uint32_t GetInfoMask(InfoSource& source, uint16_t infoType)
{
    return source.GetInfoDword(infoType).value_or(0);
}

void SetCodedText(std::string& target, std::optional<unsigned> answer, CodeTexts codes)
{
    if (!answer) {
        target = kNotReported;
        return;
    }
    for (const auto& [code, text] : codes)
        if (code == *answer) {
            target = text;
            return;
        }
}

void SetLetterText(std::string& target, const std::optional<std::string>& answer, LetterTexts letters)
{
    if (!answer) {
        target = kNotReported;
        return;
    }
    for (const auto& [letter, text] : letters)
        if (*answer == letter) {
            target = text;
            return;
        }
}

std::string SectionTitle(const std::string& title)
{
    return title + "\n" + std::string(title.size(), '-') + "\n";
}

std::string JoinFlags(std::initializer_list<std::pair<const char*, bool>> flags)
{
    std::string text;
    for (const auto& [name, set] : flags)
        if (set)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text.empty() ? std::string(kNone) : text;
}

std::string CutUtf8(const std::string& text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t end = maxBytes;
    // Back off over continuation bytes to the start of the character that does not fit.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

std::string DropPartialUtf8(const std::string& text)
{
    size_t lead = text.size();
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80)
        --lead;
    if (lead == 0)
        return text;
    const unsigned char first = static_cast<unsigned char>(text[lead - 1]);
    const size_t need = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return text.size() - (lead - 1) < need ? text.substr(0, lead - 1) : text;
}

} // namespace ferrow
