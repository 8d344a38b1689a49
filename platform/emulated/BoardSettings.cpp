#include "platform/emulated/BoardSettings.h"

#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

#include "flash/ChipCatalogue.h"
#include "platform/Text.h"

namespace varlin::emulated {

namespace {

const std::map<std::string, RequestKind> kRequestKinds = {
    {"read", RequestKind::Read}, {"erase", RequestKind::Erase}, {"program", RequestKind::Program}};

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Decimal digits, or "0x" and hexadecimal digits; nothing else (no sign, no
// octal, no second number glued on).
bool ParseNumber(std::istringstream& words, uint32_t maximum, uint32_t& value)
{
    std::string word;
    if (!(words >> word)) return false;
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
bool ParseInto(std::istringstream& words, T& field)
{
    uint32_t value = 0;
    if (!ParseNumber(words, static_cast<T>(~T{0}), value)) return false;
    field = static_cast<T>(value);
    return true;
}

using KeyParser = std::function<bool(std::istringstream&, BoardSettings&)>;

const std::map<std::string, KeyParser>& KeyParsers()
{
    static const std::map<std::string, KeyParser> parsers = {
        {"chip", [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.chipId); }},
        {"smi-port", [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.smiPort); }},
        {"smi-level", [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.smiLevel); }},
        {"protect-status", [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.protectStatus); }},
        {"protect",
         [](std::istringstream& w, BoardSettings& s) {
             AddressRange range;
             if (!ParseInto(w, range.start) || !ParseInto(w, range.size)) return false;
             s.protectedRanges.push_back(range);
             return true;
         }},
        {"fail",
         [](std::istringstream& w, BoardSettings& s) {
             std::string kind;
             FailingRequest request;
             if (!(w >> kind) || kRequestKinds.count(kind) == 0 || !ParseInto(w, request.address)) return false;
             request.kind = kRequestKinds.at(kind);
             s.failingRequests.push_back(request);
             return true;
         }},
        {"stuck-block",
         [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.stuckBlocks.emplace_back()); }},
        {"stuck-byte",
         [](std::istringstream& w, BoardSettings& s) { return ParseInto(w, s.stuckBytes.emplace_back()); }},
    };
    return parsers;
}

const char* KindName(RequestKind kind)
{
    for (const auto& [name, value] : kRequestKinds) {
        if (value == kind) return name.c_str();
    }
    return "read";
}

}  // namespace

uint8_t ProtectStatusFor(uint16_t chipId)
{
    if (chipId == chip::kIntelE82802AC || chipId == chip::kIntelE82802AB) return kEraseBlockLocked;
    return kEraseFailed;
}

bool ParseBoardSettings(const std::string& text, BoardSettings& settings, std::string& error)
{
    settings = BoardSettings{};
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        // A zero byte would end the text the parsers see and hide what follows.
        if (line.find('\0') != std::string::npos) {
            error = FormatText("line %d holds a zero byte", number);
            return false;
        }
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty()) continue;
        const size_t equals = line.find('=');
        const std::string key = Trim(line.substr(0, equals));
        const auto parser = KeyParsers().find(key);
        std::istringstream words(equals == std::string::npos ? "" : line.substr(equals + 1));
        std::string rest;
        if (equals == std::string::npos || parser == KeyParsers().end() || !parser->second(words, settings) ||
            (words >> rest)) {
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
