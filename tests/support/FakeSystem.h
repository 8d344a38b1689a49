// A system port whose program directory is a folder the test chose.
#pragma once

#include <string>

#include "platform/SystemPort.h"

namespace varlin::test {

class FakeSystem : public SystemPort {
public:
    std::string ProgramDirectory() override { return programDirectory; }

    std::string programDirectory = "./";
};

}  // namespace varlin::test
