// The member chain of a BIOS image and its logo slot: members follow one
// another inside the image, and the slot lies inside it.
#include "logo/LogoSlotFinder.h"
#include "award/MemberChain.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace varlin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const MemberChain chain = WalkMemberChain(std::span<const uint8_t>(data, size));
    uint64_t previous = 0;
    for (size_t i = 0; i < chain.members.size(); ++i) {
        FUZZ_EXPECT(chain.members[i].offset < size);
        FUZZ_EXPECT(i == 0 || chain.members[i].offset > previous);
        previous = chain.members[i].offset;
    }

    fuzz::QuietMessages messages;
    CLogoSlotFinder finder(messages);
    uint32_t length = 0;
    const int32_t slot = finder.FindLogoSlot(fuzz::WriteInputFile("bios.bin", data, size), length);
    if (slot >= 0) FUZZ_EXPECT(static_cast<uint64_t>(slot) + length <= size);
    return 0;
}
