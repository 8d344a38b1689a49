#include "award/BiosCode.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "award/MemberData.h"

namespace varlin {

namespace {

// Real images decode to a few MiB at most; past this the search gives up.
constexpr size_t kDecodeBudget = 32u << 20;
// The longest banner text taken before "BIOS v".
constexpr size_t kBannerLead = 48;

bool Holds(std::span<const uint8_t> bytes, std::string_view text)
{
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                       [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); }) != bytes.end();
}

bool StartsWith(std::span<const uint8_t> bytes, std::string_view text)
{
    return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

bool IsBannerCharacter(uint8_t byte) { return byte >= 0x20 && byte < 0x7F; }

bool IsVersionCharacter(uint8_t byte) { return std::isalnum(byte) != 0 || byte == '.'; }

}  // namespace

std::string FindBiosBanner(std::span<const uint8_t> systemBios)
{
    constexpr std::string_view kMark = "BIOS v";
    auto at = systemBios.begin();
    for (;;) {
        at = std::search(at, systemBios.end(), kMark.begin(), kMark.end(),
                         [](uint8_t a, char b) { return a == static_cast<uint8_t>(b); });
        if (at == systemBios.end()) return {};
        const auto version = at + static_cast<std::ptrdiff_t>(kMark.size());
        if (version != systemBios.end() && std::isdigit(*version) != 0) break;
        ++at;
    }
    auto first = at;
    while (first != systemBios.begin() && IsBannerCharacter(*(first - 1)) &&
           static_cast<size_t>(at - first) < kBannerLead) {
        --first;
    }
    auto last = at + static_cast<std::ptrdiff_t>(kMark.size());
    while (last != systemBios.end() && IsVersionCharacter(*last)) ++last;
    std::string banner(first, last);
    banner.erase(0, banner.find_first_not_of(' '));
    return banner;
}

BiosCode ExamineBiosCode(std::span<const uint8_t> image, const AwardImage& layout)
{
    BiosCode code;
    size_t budget = kDecodeBudget;
    for (const ImageMember& member : layout.members) {
        // Each member is charged what it says it holds, decoded or not.
        if (member.header.originalSize > budget) continue;
        budget -= member.header.originalSize;
        const MemberData data = DecodeMemberData(image, {member.offset, member.header});
        if (!data.CrcHolds(member.header)) continue;
        if (member.header.IsSystemBios() && code.banner.empty()) code.banner = FindBiosBanner(data.bytes);
        if (!StartsWith(data.bytes, kStockLogoSignature) && Holds(data.bytes, kStockLogoSignature)) {
            code.showsStockLogos = true;
        }
    }
    return code;
}

}  // namespace varlin
