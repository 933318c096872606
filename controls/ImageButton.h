// A push button that draws itself: a 32x32 icon at the left, the caption centred beside it,
// a raised 3-D edge that sinks while the button is pressed, a black frame around the default
// or focused button and a dotted focus rectangle.
//
// It attaches to a push button of a dialog template (the dialog's data exchange binds it),
// makes it owner-drawn and otherwise leaves it an ordinary push button: its clicks reach the
// dialog as those of any button.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "ui/Controls.h"
#include "ui/CustomControl.h"
#include "ui/DialogTypes.h"

namespace zenthar::controls {

// The button type lives in the low five style bits.
inline constexpr std::uint32_t kButtonTypeBits = 0x1F;
inline constexpr std::uint32_t kPushButtonType = 0x0;
inline constexpr std::uint32_t kDefPushButtonType = 0x1;
inline constexpr std::uint32_t kOwnerDrawType = 0xB;

// The longest caption drawn; a longer window text is cut.
inline constexpr std::size_t kMaxCaption = 255;

struct IconSlot {
    ui::IconHandle icon = 0;
    int width = 0;
    int height = 0;
};

// Slot 0: the pressed icon and the fallback of the others; slot 1: normal; slot 2: disabled.
using IconSlots = std::array<IconSlot, 3>;

// ---- The layout, as pure functions of the item rectangle and the state ----

std::uint32_t WithButtonType(std::uint32_t style, std::uint32_t type);

// The slot whose icon is drawn, -1 when slot 0 is empty (no icon at all then).
int ChooseIconSlot(const IconSlots& icons, bool pressed, bool disabled);

// Where an icon of `width` x `height` goes in the item rectangle.
ui::Point IconPosition(const ui::Rect& item, int width, int height, bool captionEmpty, bool pressed);

// The rectangle the caption is centred in: the item rectangle less the column of the icon
// drawn beside it (null when none), one pixel right and down while pressed.
ui::Rect CaptionArea(const ui::Rect& item, const IconSlot* icon, bool pressed);

// `measured` (as DrawText's measuring gives it, anchored at the area's top-left corner) moved
// to the middle of `area`.
ui::Rect CentreIn(const ui::Rect& area, const ui::Rect& measured);

ui::Rect Deflate(const ui::Rect& rect, int by);
ui::Rect Offset(const ui::Rect& rect, int dx, int dy);

class ImageButton : public ui::PushButton, public ui::ControlHook {
public:
    ImageButton();
    ~ImageButton() override;

    // Three (resource id, width, height) triples, one per slot; id 0 leaves a slot empty. When
    // the slot 0 icon cannot be loaded no icon is kept at all.
    void SetIcons(int id0, int width0, int height0, int id1, int width1, int height1, int id2, int width2, int height2);
    void SetFlat(bool flat, bool repaint);

    bool Flat() const { return flat; }
    bool IsDefault() const { return isDefault; }
    const IconSlots& Icons() const { return icons; }

    // ui::ControlHook
    void OnAttach(ui::ControlWindow& window) override;
    bool OnControlMessage(ui::ControlWindow& window, ui::ControlMessage& message, std::intptr_t& result) override;
    void OnDrawItem(ui::ControlWindow& window, ui::DrawSurface& surface, const ui::DrawItemInfo& info) override;
    void OnDetach() override;

protected:
    // The 3-D edge on the work rectangle; a derived button may draw another.
    virtual void DrawBorder(ui::DrawSurface& surface, const ui::Rect& work);
    // The fill of the work rectangle; a derived button may fill otherwise.
    virtual void DrawBackground(ui::DrawSurface& surface, const ui::Rect& work);

private:
    void ReleaseIcons();
    void DrawCaption(ui::DrawSurface& surface, std::string_view caption, ui::Rect area);

    bool flat = true;
    bool isDefault = false;
    bool pressed = false;
    bool focused = false;
    bool disabled = false;
    // The focus was on this button when the system disabled it.
    bool focusTakenByDisable = false;
    IconSlots icons{};
    ui::Color pressedBackground;
    ui::Color focusedBackground;
    ui::Color normalBackground;
    ui::Color pressedText;
    ui::Color normalText;
    ui::ControlWindow* window = nullptr;
};

}  // namespace zenthar::controls
