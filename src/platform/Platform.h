#pragma once

// Application-wide setup of the platform: names and font substitutes.
namespace Platform {
// Call once after the QApplication exists, before the main window is created.
void initialise();
} // namespace Platform
