#include "treebenchparts.h"

namespace TreeBench {

int copyAndDelete(const QString&)
{
    return 0;
}

} // namespace TreeBench
