#include "logo/LogoSlotFinder.h"

#include "award/MemberChain.h"
#include "platform/support/Files.h"

namespace varlin {

namespace {

constexpr char kCannotOpen[] = "Cannot open BIOS file!";

// BIOS images are a few hundred KiB; a walk never reaches this far.
constexpr size_t kImageReadLimit = 64u << 20;

}  // namespace

const char* SlotRefusal(ChainEnd end)
{
    switch (end) {
    case ChainEnd::LogoNotLast:
        return "The logo is not at the end of BIOS ROM!";
    case ChainEnd::ZeroSize:
        return "BIOS has error!";
    case ChainEnd::BadAttributes:
        return "Bios has error!";
    case ChainEnd::FreeSpace:
    case ChainEnd::LogoLast:
    case ChainEnd::RanOffEnd:
        break;
    }
    return nullptr;
}

uint64_t FreeSpaceAt(std::span<const uint8_t> image, uint64_t offset, const BootBlockChecksums& checksums)
{
    uint64_t end = image.size();
    if (checksums.tableFound && checksums.main.offset >= offset) end = checksums.main.offset;
    uint64_t at = offset;
    while (at < end && image[at] == 0xFF) ++at;
    return at > offset ? at - offset : 0;
}

int32_t CLogoSlotFinder::FindLogoSlot(const std::string& biosPath, uint32_t& slotLength)
{
    Bytes image;
    const ReadStatus status = ReadWholeFile(biosPath, image, kImageReadLimit);
    if (status != ReadStatus::Ok && status != ReadStatus::TooLarge) {
        messages.ShowMessage(kCannotOpen);
        return -1;
    }
    const MemberChain chain = WalkMemberChain(image);
    if (const char* refusal = SlotRefusal(chain.end)) {
        messages.ShowMessage(refusal);
        return -1;
    }
    // A chain that ran off the end of the image has no slot; nothing is said.
    if (chain.end == ChainEnd::RanOffEnd || chain.endOffset > static_cast<uint64_t>(INT32_MAX)) return -1;
    slotLength =
        chain.end == ChainEnd::LogoLast ? static_cast<uint32_t>(chain.members.back().header.ArchiveLength()) : 0;
    return static_cast<int32_t>(chain.endOffset);
}

}  // namespace varlin
