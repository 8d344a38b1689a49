#include "hosts/emulated/BoardSettings.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "platform/support/Text.h"

namespace varlin::emulated {

namespace {

struct RequestKindName {
    const char* name;
    RequestKind kind;
};

constexpr RequestKindName kRequestKinds[] = {
    {"read", RequestKind::Read}, {"erase", RequestKind::Erase}, {"program", RequestKind::Program}};

constexpr char kBlanks[] = " \t\r";

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The blank-separated words of a value, taken one at a time.
class Words {
public:
    explicit Words(std::string_view text) : rest(text) {}

    bool Next(std::string& word)
    {
        const size_t first = rest.find_first_not_of(kBlanks);
        if (first == std::string_view::npos) return false;
        rest.remove_prefix(first);
        const size_t length = std::min(rest.find_first_of(kBlanks), rest.size());
        word.assign(rest.substr(0, length));
        rest.remove_prefix(length);
        return true;
    }

    bool AtEnd() const { return rest.find_first_not_of(kBlanks) == std::string_view::npos; }

private:
    std::string_view rest;
};

// Decimal digits, or "0x" and hexadecimal digits; nothing else (no sign, no
// octal, no second number glued on).
bool ParseNumber(Words& words, uint32_t maximum, uint32_t& value)
{
    std::string word;
    if (!words.Next(word)) return false;
    const bool hexadecimal = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const std::string digits = hexadecimal ? word.substr(2) : word;
    const char* allowed = hexadecimal ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return false;
    const unsigned long long number = std::strtoull(digits.c_str(), nullptr, hexadecimal ? 16 : 10);
    if (number > maximum) return false;
    value = static_cast<uint32_t>(number);
    return true;
}

template <typename T>
bool ParseInto(Words& words, T& field)
{
    uint32_t value = 0;
    if (!ParseNumber(words, static_cast<T>(~T{0}), value)) return false;
    field = static_cast<T>(value);
    return true;
}

bool ParseProtect(Words& words, BoardSettings& settings)
{
    AddressRange range;
    if (!ParseInto(words, range.start) || !ParseInto(words, range.size)) return false;
    settings.protectedRanges.push_back(range);
    return true;
}

bool ParseFail(Words& words, BoardSettings& settings)
{
    std::string name;
    if (!words.Next(name)) return false;
    for (const RequestKindName& kind : kRequestKinds) {
        if (name != kind.name) continue;
        FailingRequest request;
        request.kind = kind.kind;
        if (!ParseInto(words, request.address)) return false;
        settings.failingRequests.push_back(request);
        return true;
    }
    return false;
}

struct KeyParser {
    const char* key;
    bool (*parse)(Words& words, BoardSettings& settings);
};

constexpr KeyParser kKeyParsers[] = {
    {"chip", [](Words& w, BoardSettings& s) { return ParseInto(w, s.chipId); }},
    {"smi-port", [](Words& w, BoardSettings& s) { return ParseInto(w, s.smiPort); }},
    {"smi-level", [](Words& w, BoardSettings& s) { return ParseInto(w, s.smiLevel); }},
    {"protect-status", [](Words& w, BoardSettings& s) { return ParseInto(w, s.protectStatus); }},
    {"protect", ParseProtect},
    {"fail", ParseFail},
    {"stuck-block", [](Words& w, BoardSettings& s) { return ParseInto(w, s.stuckBlocks.emplace_back()); }},
    {"stuck-byte", [](Words& w, BoardSettings& s) { return ParseInto(w, s.stuckBytes.emplace_back()); }},
};

const KeyParser* ParserFor(const std::string& key)
{
    for (const KeyParser& parser : kKeyParsers) {
        if (key == parser.key) return &parser;
    }
    return nullptr;
}

const char* KindName(RequestKind kind)
{
    for (const RequestKindName& entry : kRequestKinds) {
        if (entry.kind == kind) return entry.name;
    }
    return "read";
}

}  // namespace

bool ParseBoardSettings(const std::string& text, BoardSettings& settings, std::string& error)
{
    settings = BoardSettings{};
    size_t lineStart = 0;
    for (int number = 1; lineStart < text.size(); ++number) {
        const size_t lineEnd = std::min(text.find('\n', lineStart), text.size());
        std::string line = text.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        // A zero byte would end the text the parsers see and hide what follows.
        if (line.find('\0') != std::string::npos) {
            error = FormatText("line %d holds a zero byte", number);
            return false;
        }
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const size_t equals = line.find('=');
        const KeyParser* parser = ParserFor(Trim(line.substr(0, equals)));
        Words words(equals == std::string::npos ? std::string_view() : std::string_view(line).substr(equals + 1));
        if (equals == std::string::npos || parser == nullptr || !parser->parse(words, settings) || !words.AtEnd()) {
            error = FormatText("line %d: %s", number, line.c_str());
            return false;
        }
    }
    return true;
}

std::string FormatBoardSettings(const BoardSettings& settings)
{
    std::string text = "# VARLIN emulated board\n";
    text += FormatText("chip = 0x%04X\n", settings.chipId);
    text += FormatText("smi-port = 0x%04X\n", settings.smiPort);
    text += FormatText("smi-level = %u\n", settings.smiLevel);
    for (const AddressRange& range : settings.protectedRanges) {
        text += FormatText("protect = 0x%08X 0x%X\n", range.start, range.size);
    }
    text += FormatText("protect-status = 0x%02X\n", settings.protectStatus);
    for (const FailingRequest& request : settings.failingRequests) {
        text += FormatText("fail = %s 0x%08X\n", KindName(request.kind), request.address);
    }
    for (uint32_t address : settings.stuckBlocks) text += FormatText("stuck-block = 0x%08X\n", address);
    for (uint32_t address : settings.stuckBytes) text += FormatText("stuck-byte = 0x%08X\n", address);
    return text;
}

}  // namespace varlin::emulated
