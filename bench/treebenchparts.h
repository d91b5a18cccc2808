#pragma once

#include <QString>

// The parts of treebench; each prints its lines and returns 0, or 1 on failure.
namespace TreeBench {
// "copy 10000 files: ..." and "delete 10000 files: ..." under work.
int copyAndDelete(const QString& work);
// "list 100000 files: ..." under work.
int listing(const QString& work);
} // namespace TreeBench
