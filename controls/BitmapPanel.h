// A child window that shows one bitmap, anchored at its top-left corner and scaled to its
// client area, and fills the rest with the button-face colour. It takes the place of a
// placeholder static control of a dialog template.
#pragma once

#include <vector>

#include "ui/CustomControl.h"
#include "ui/Dialog.h"
#include "ui/DialogTypes.h"

namespace zenthar::controls {

enum class ScaleMode {
    Natural,    // the image at its own size, clipped by the client area
    FitInside,  // scaled uniformly so that the whole image fits the client area
};

// Where the `source` part of the bitmap is drawn in a client area of `clientWidth` x
// `clientHeight`. `scale` receives the factor FitInside used (it is left alone otherwise).
ui::Rect DestinationRect(ScaleMode mode, int clientWidth, int clientHeight, const ui::Rect& source, double& scale);

// The parts of the client area outside `dest`, as up to four bands (left, top, right,
// bottom), empty ones left out.
std::vector<ui::Rect> BackgroundBands(const ui::Rect& client, const ui::Rect& dest);

class BitmapPanel : public ui::PanelHook {
public:
    BitmapPanel() = default;
    ~BitmapPanel() override = default;
    BitmapPanel(const BitmapPanel&) = delete;
    BitmapPanel& operator=(const BitmapPanel&) = delete;

    // Puts the panel's window in the place of the control `controlId` of `parent` (the
    // placeholder, or this panel's own earlier window). False when there is no such window.
    bool ReplaceStatic(ui::Dialog& parent, int controlId);
    // Loads the bitmap from the program's resources and shows it; false when it could not be
    // loaded (the panel then shows no image).
    bool LoadBitmapResource(int id);
    // The panel shows `bitmap` without owning it.
    void SetBitmap(ui::BitmapHandle bitmap);
    void SetScaleMode(ScaleMode mode);

    bool HasWindow() const { return window != nullptr; }
    ui::BitmapHandle Bitmap() const { return bitmap; }
    ui::Size BitmapSize() const { return bitmapSize; }
    ScaleMode Mode() const { return scaleMode; }
    double Scale() const { return scale; }
    ui::Rect DestRect() const { return destRect; }

    // ui::PanelHook
    void OnPaint(ui::PanelWindow& panel, ui::DrawSurface& surface) override;
    void OnSize(ui::PanelWindow& panel, int width, int height) override;
    void OnPanelDestroyed() override;

private:
    void RecalcLayout(bool redraw);

    ui::BitmapHandle bitmap = 0;
    ui::Size bitmapSize;
    ui::Rect sourceRect;
    ScaleMode scaleMode = ScaleMode::Natural;
    double scale = 1.0;
    ui::Rect destRect;
    ui::PanelWindow* window = nullptr;
};

}  // namespace zenthar::controls
