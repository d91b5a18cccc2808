#include "twips.h"

#include <cmath>

namespace {
double g_dpi = 96.0;
}

namespace Twips {
double dpi()
{
    return g_dpi;
}
void setDpi(double dpi)
{
    if (dpi > 0)
        g_dpi = dpi;
}
double toPixels(double twips)
{
    return twips * g_dpi / PerInch;
}
int fromPixels(double pixels)
{
    return int(std::lround(pixels * PerInch / g_dpi));
}
} // namespace Twips
