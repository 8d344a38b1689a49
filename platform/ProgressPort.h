// The port to a progress dialog: a step text, a bar and a percentage number,
// updated while a long operation runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

namespace varlin {

class ProgressPort {
public:
    virtual ~ProgressPort() = default;

    virtual void SetStepText(const std::string& text) = 0;
    // The bar runs from 0 to `upper`.
    virtual void SetRange(uint32_t upper) = 0;
    virtual void SetPosition(uint32_t position) = 0;
    virtual void SetPercentage(int32_t percentage) = 0;
};

}  // namespace varlin
