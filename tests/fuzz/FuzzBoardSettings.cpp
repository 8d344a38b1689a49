// board.conf: what is accepted reads back the same after it is written
// out, and the one-number keys hold exactly the decimal or 0x-hexadecimal
// number written, as the README says.
#include <cctype>
#include <cstdlib>
#include <map>
#include <sstream>

#include "hosts/emulated/BoardSettings.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

namespace {

// The number a value is when read as the README defines numbers; -1 when
// it is none.
long long ReadmeNumber(const std::string& word)
{
    const bool hexadecimal = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
    const std::string digits = hexadecimal ? word.substr(2) : word;
    if (digits.empty()) return -1;
    for (char c : digits) {
        if (!(c >= '0' && c <= '9') && !(hexadecimal && std::isxdigit(static_cast<unsigned char>(c)))) return -1;
    }
    const unsigned long long number = std::strtoull(digits.c_str(), nullptr, hexadecimal ? 16 : 10);
    return number > 0xFFFFFFFFull ? -1 : static_cast<long long>(number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    emulated::BoardSettings settings;
    std::string error;
    if (!emulated::ParseBoardSettings(text, settings, error)) return 0;

    const std::string written = emulated::FormatBoardSettings(settings);
    emulated::BoardSettings reread;
    FUZZ_EXPECT(emulated::ParseBoardSettings(written, reread, error));
    FUZZ_EXPECT(emulated::FormatBoardSettings(reread) == written);

    FUZZ_EXPECT(text.find('\0') == std::string::npos);
    // A key given twice keeps the value given last.
    std::map<std::string, std::string> lastValue;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = line.substr(0, line.find('#'));
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::istringstream key(line.substr(0, equals));
        std::istringstream value(line.substr(equals + 1));
        std::string name;
        key >> name;
        value >> lastValue[name];
    }
    const auto expect = [&lastValue](const char* name, long long held) {
        const auto found = lastValue.find(name);
        if (found != lastValue.end()) FUZZ_EXPECT(ReadmeNumber(found->second) == held);
    };
    expect("chip", settings.chipId);
    expect("smi-port", settings.smiPort);
    expect("smi-level", settings.smiLevel);
    expect("protect-status", settings.protectStatus);
    return 0;
}
