#include "lha/Lh5Encoder.h"

namespace varlin {

template class BasicLh5Encoder<MatchFinder>;

}  // namespace varlin
