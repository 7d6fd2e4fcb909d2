#pragma once

// Twips (1440 to the inch) are the editor's unit for every position and size; they
// become pixels only here, with the screen's logical resolution.
namespace Twips {
constexpr double PerInch = 1440.0;
double toPixelsX(double twips);
double toPixelsY(double twips);
double fromPixelsX(double pixels);
double fromPixelsY(double pixels);
} // namespace Twips
