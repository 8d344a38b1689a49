// The rounding the program's colour arithmetic calls (std::lround), in place
// of the toolchain's precompiled one, whose comparisons use the Pentium Pro's
// fcomi.  Rounds halves away from zero, as the C library's does; the program
// rounds only values well inside the range of a long.
#include <cmath>

extern "C" long lround(double value)
{
    const double magnitude = std::fabs(value);
    double whole = std::floor(magnitude);
    if (magnitude - whole >= 0.5) whole += 1.0;  // the difference is exact
    const long rounded = static_cast<long>(whole);
    return value < 0 ? -rounded : rounded;
}
