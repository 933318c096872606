// The program's pictures. Each drawing fills a canvas of the size it is asked for.
#pragma once

#include <string>
#include <vector>

#include "tools/artgen/Raster.h"

namespace artgen {

// Icons: transparent background, drawn for the given square size.
Canvas DrawAppIcon(int size);
Canvas DrawPrinterIcon(int size);
Canvas DrawCrossIcon(int size);
Canvas DrawTickIcon(int size);
Canvas DrawUninstallIcon(int size);

// Interface pictures: opaque, any size.
Canvas DrawBluetooth(int w, int h);
Canvas DrawNetworkPlug(int w, int h);
Canvas DrawParallelSocket(int w, int h);
Canvas DrawSerialPlug(int w, int h);
Canvas DrawUsbCable(int w, int h);
Canvas DrawWifi(int w, int h);

// Shared look of the interface pictures.
extern const Rgba kPictureBackground;
void PaintBackdrop(Canvas& c);
// A soft contact shadow on the floor beneath an object.
void FloorShadow(Canvas& c, Vec2 centre, double rx, double ry, double opacity);

}  // namespace artgen
