#pragma once

// The arithmetic of the window's size and place and of the editing area's layout, in
// twips, fractions kept.

struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};

// CenterForm on a screen W by H: three quarters of each, one eighth free on each side.
TwipsRect centeredOnScreen(double screenWidth, double screenHeight);

// The layout rule for a window of that outer size: left 0, width outer - 75, height
// outer - 1600, never negative. The top is left as it is (0 here).
TwipsRect editingAreaFor(double outerWidth, double outerHeight);
