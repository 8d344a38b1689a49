// The ports of the program backed by test doubles.
#pragma once

#include "platform/PlatformServices.h"
#include "tests/support/FakeSystem.h"
#include "tests/support/RecordingMessagePort.h"

namespace varlin::test {

struct FakePlatform {
    RecordingMessagePort messages;
    FakeSystem system;
    PlatformServices services{messages, system};
};

}  // namespace varlin::test
