#include "controls/BitmapPanel.h"

#include "resources/WindowStyles.h"
#include "ui/Ui.h"

namespace zenthar::controls {

ui::Rect DestinationRect(ScaleMode mode, int clientWidth, int clientHeight, const ui::Rect& source, double& scale)
{
    if (clientWidth <= 0 || clientHeight <= 0 || source.IsEmpty()) return {};
    if (mode == ScaleMode::Natural) return {0, 0, source.Width(), source.Height()};
    const double scaleX = static_cast<double>(clientWidth) / source.Width();
    const double scaleY = static_cast<double>(clientHeight) / source.Height();
    scale = scaleX <= scaleY ? scaleX : scaleY;
    return {0, 0, static_cast<int>(source.Width() * scale), static_cast<int>(source.Height() * scale)};
}

std::vector<ui::Rect> BackgroundBands(const ui::Rect& client, const ui::Rect& dest)
{
    const ui::Rect candidates[] = {
        {0, 0, dest.left, client.bottom},
        {dest.left, 0, dest.right, dest.top},
        {dest.right, 0, client.right, client.bottom},
        {dest.left, dest.bottom, dest.right, client.bottom},
    };
    std::vector<ui::Rect> bands;
    for (const ui::Rect& band : candidates) {
        if (!band.IsEmpty()) bands.push_back(band);
    }
    return bands;
}

bool BitmapPanel::ReplaceStatic(ui::Dialog& parent, int controlId)
{
    if (!parent.HasWindow()) return false;
    // The new window reports its size while it is made; OnSize takes it up from there.
    return parent.ReplaceStatic(controlId, *this) != nullptr;
}

bool BitmapPanel::LoadBitmapResource(int id)
{
    const ui::BitmapHandle loaded = ui::LoadBitmapResource(id);
    SetBitmap(loaded);
    return loaded != 0;
}

void BitmapPanel::SetBitmap(ui::BitmapHandle handle)
{
    if (handle == bitmap) return;
    bitmap = handle;
    bitmapSize = ui::GetBitmapSize(handle);
    sourceRect = {0, 0, bitmapSize.cx, bitmapSize.cy};
    RecalcLayout(true);
}

void BitmapPanel::SetScaleMode(ScaleMode mode)
{
    if (mode == scaleMode) return;
    scaleMode = mode;
    RecalcLayout(true);
}

void BitmapPanel::RecalcLayout(bool redraw)
{
    if (!window) return;
    const ui::Rect client = window->ClientRect();
    destRect = DestinationRect(scaleMode, client.Width(), client.Height(), sourceRect, scale);
    if (redraw) window->Invalidate(true);
}

void BitmapPanel::OnSize(ui::PanelWindow& panel, int, int)
{
    window = &panel;
    RecalcLayout(true);
}

void BitmapPanel::OnPanelDestroyed()
{
    window = nullptr;
}

void BitmapPanel::OnPaint(ui::PanelWindow& panel, ui::DrawSurface& surface)
{
    if (!(panel.Style() & resources::kWsVisible)) return;
    const ui::Rect client = panel.ClientRect();
    if (bitmap && !destRect.IsEmpty()) surface.StretchBitmap(bitmap, sourceRect, destRect);
    const ui::Color face = ui::GetSysColor(ui::kColorBtnFace);
    for (const ui::Rect& band : BackgroundBands(client, destRect)) surface.FillRect(band, face);
}

}  // namespace zenthar::controls
