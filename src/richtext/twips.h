#pragma once

// Stored sizes are in twips, 1440 to the inch; the screen's logical DPI converts them.
namespace Twips {
constexpr int PerInch = 1440;
double dpi();
void setDpi(double dpi);
double toPixels(double twips);
int fromPixels(double pixels);
} // namespace Twips
