#pragma once
// Twips (1440 per inch) to pixels and back, by the screen's logical DPI:
// 15 twips per pixel at 96 dpi.

namespace Twips {
int perPixelX();
int perPixelY();
int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);
} // namespace Twips
