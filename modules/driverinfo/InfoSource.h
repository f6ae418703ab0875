// Where the driver information pages read from: the driver's answers to SQLGetInfo,
// SQLGetFunctions and SQLGetTypeInfo (OdbcSession over a real connection; tests may give
// their own), and the value-to-text and report-line rules all pages share.
//
// A source that is not connected is never asked: every page reads and reports nothing then.
// An information request the driver refuses (SQL_ERROR) is "<not reported>" in texts and a
// clear mask in flags, so that a refusal is never shown as a fact.
//
// Errors: GetTypeInfo and HasFunction throw DriverError; the others never throw.
// Threads: the thread that owns the connection (the sheet's UI thread).
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ferrow {

// A driver failure, as the driver manager describes it: the message texts (each followed by
// "\n") and the state/native/origin texts ("State:IM002,Native:0,Origin:[unixODBC]...\n").
class DriverError : public std::runtime_error {
public:
    DriverError(std::string errorText, std::string stateText);
    const std::string& ErrorText() const { return m_errorText; }
    const std::string& StateText() const { return m_stateText; }
    // "%s%s" of both, the state text alone when there is no error text, "Errors occurred."
    // when both are empty.
    std::string Description() const;

private:
    std::string m_errorText;
    std::string m_stateText;
};

// One row of SQLGetTypeInfo (columns 1 to 15); nullopt where the driver gave NULL.
struct TypeInfoRow {
    std::string typeName;
    int dataType = 0;
    std::optional<int32_t> precision;
    std::optional<std::string> literalPrefix;
    std::optional<std::string> literalSuffix;
    std::optional<std::string> createParams;
    std::optional<int> nullable;
    std::optional<int> caseSensitive;
    std::optional<int> searchable;
    std::optional<int> unsignedAttribute;
    std::optional<int> money;
    std::optional<int> autoIncrement;
    std::optional<std::string> localTypeName;
    std::optional<int> minimumScale;
    std::optional<int> maximumScale;
};

// Support flags of SQLGetFunctions(SQL_API_ALL_FUNCTIONS), indexed by function id.
using FunctionFlags = std::array<uint16_t, 100>;

// The buffer of an ordinary string answer, and of the driver's keyword list.
inline constexpr size_t kInfoStringBuffer = 200;
inline constexpr size_t kKeywordsBuffer = 32000;

class InfoSource {
public:
    virtual ~InfoSource() = default;

    virtual bool IsConnected() const = 0;
    // nullopt when the driver refuses the request.
    virtual std::optional<uint16_t> GetInfoWord(uint16_t infoType) = 0;
    virtual std::optional<uint32_t> GetInfoDword(uint16_t infoType) = 0;
    // The text up to the first NUL, cut to whole UTF-8 characters when the buffer was too small.
    virtual std::optional<std::string> GetInfoString(uint16_t infoType, size_t bufferSize = kInfoStringBuffer) = 0;
    // All flags clear when the request fails.
    virtual FunctionFlags GetFunctions() = 0;
    // Whether the driver offers function id (SQLGetFunctions); DriverError when it cannot say.
    virtual bool HasFunction(uint16_t functionId) = 0;
    // The rows of SQLGetTypeInfo(SQL_ALL_TYPES) in the driver's order.
    virtual std::vector<TypeInfoRow> GetTypeInfo() = 0;
};

inline constexpr const char* kNotReported = "<not reported>";
inline constexpr const char* kNone = "<none>";
inline constexpr const char* kNotApplicable = "<n/a>";

// "Y" -> "Yes", "N" -> "No" (exact); other answers as given.
std::string GetInfoYesNo(InfoSource& source, uint16_t infoType);
// "Y" -> "Supported", "N" -> "Not Supported" (exact); other answers as given.
std::string GetInfoSupported(InfoSource& source, uint16_t infoType);
// The number in decimal (unsigned), "<none>" for 0.
std::string FormatInfoWord(InfoSource& source, uint16_t infoType);
std::string FormatInfoDword(InfoSource& source, uint16_t infoType);
// A bitmask answer; 0 when refused.
uint32_t GetInfoMask(InfoSource& source, uint16_t infoType);

// The text of a coded answer: the text of its code; target unchanged for a code not listed.
using CodeTexts = std::initializer_list<std::pair<unsigned, const char*>>;
void SetCodedText(std::string& target, std::optional<unsigned> answer, CodeTexts codes);
// The same for a one-letter string answer.
using LetterTexts = std::initializer_list<std::pair<const char*, const char*>>;
void SetLetterText(std::string& target, const std::optional<std::string>& answer, LetterTexts letters);

// "Title\n-----\n".
std::string SectionTitle(const std::string& title);
// The names of the set flags joined by ",", or "<none>".
std::string JoinFlags(std::initializer_list<std::pair<const char*, bool>> flags);
// text cut to at most maxBytes bytes, never inside a UTF-8 character.
std::string CutUtf8(const std::string& text, size_t maxBytes);
// text without a last UTF-8 character that is not whole.
std::string DropPartialUtf8(const std::string& text);

} // namespace ferrow
