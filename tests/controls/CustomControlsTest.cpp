#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/BitmapPanel.h"
#include "controls/ImageButton.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/ResourceIds.h"
#include "resources/WindowStyles.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::controls {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::Rect;
using ui::headless::DrawOp;
using Kind = DrawOp::Kind;
namespace rs = resources;

constexpr ui::Color kFace = ui::Rgb(240, 240, 240), kShadow = ui::Rgb(160, 160, 160), kLight = ui::Rgb(255, 255, 255),
                    kBlack = 0;

// A button window of 120 x 52 pixels whose default processing is recorded.
struct FakeButton : ui::ControlWindow {
    std::uint32_t style = rs::kWsChild | rs::kWsVisible | rs::kWsTabStop;
    std::string text = "&OK";
    bool frameChanged = false;
    bool focusMoved = false;
    bool enabled = true;
    bool focused = false;
    std::vector<ui::ControlMessage> defaults;
    ImageButton* hook = nullptr;

    int Id() const override { return 1; }
    std::uint32_t Style() const override { return style; }
    void SetStyle(std::uint32_t s, bool changed) override { style = s, frameChanged = changed; }
    std::string Text() const override { return text; }
    bool IsEnabled() const override { return enabled; }
    bool HasFocus() const override { return focused; }
    Rect ClientRect() const override { return {0, 0, 120, 52}; }
    void Invalidate(bool) override {}
    std::intptr_t Send(const ui::ControlMessage& m) override
    {
        ui::ControlMessage copy = m;
        std::intptr_t result = 0;
        return hook->OnControlMessage(*this, copy, result) ? result : CallDefault(copy);
    }
    std::intptr_t CallDefault(const ui::ControlMessage& m) override
    {
        defaults.push_back(m);
        return m.message == ui::kWmGetDlgCode ? ui::kDlgcButton : 0;
    }
    void FocusNextInTabOrder() override { focusMoved = true; }
};

class ImageButtonTest : public ::testing::Test {
protected:
    // Attaches a button set up as the dialogs set theirs up.
    ImageButton& Make(std::uint32_t type = rs::kBsPushButton, const char* caption = "&OK")
    {
        window.style |= type;
        window.text = caption;
        window.hook = &button;
        button.OnAttach(window);
        button.SetIcons(rs::kOkIcon, 32, 32, 0, 32, 32, 0, 32, 32);
        button.SetFlat(false, true);
        return button;
    }
    std::vector<DrawOp> Draw(unsigned state)
    {
        ui::headless::RecordingSurface surface;
        button.OnDrawItem(window, surface, {{0, 0, 120, 52}, state});
        return surface.Ops();
    }
    static std::vector<DrawOp> Only(const std::vector<DrawOp>& ops, Kind kind)
    {
        std::vector<DrawOp> kept;
        for (const DrawOp& op : ops)
            if (op.kind == kind) kept.push_back(op);
        return kept;
    }

    // The buttons read the system colours as they are made: the screen comes first.
    struct Installed {
        explicit Installed(ui::Backend& backend) { ui::UseBackend(&backend); }
        ~Installed() { ui::UseBackend(nullptr); }
    };
    ui::headless::HeadlessBackend screen;
    Installed installed{screen};
    FakeButton window;
    ImageButton button;
};

TEST_F(ImageButtonTest, AttachingMakesTheButtonOwnerDrawnAndRemembersTheDefaultStyle)
{
    Make(rs::kBsDefPushButton);
    EXPECT_EQ(window.style, rs::kWsChild | rs::kWsVisible | rs::kWsTabStop | rs::kBsOwnerDraw);
    EXPECT_TRUE(window.frameChanged);
    EXPECT_TRUE(button.IsDefault());

    ImageButton plain;
    FakeButton other;
    plain.OnAttach(other);
    EXPECT_FALSE(plain.IsDefault());
    EXPECT_EQ(other.style & 0x1F, rs::kBsOwnerDraw);
}

TEST_F(ImageButtonTest, AnswersTheDialogManagerAsAPushButtonThatStaysOwnerDrawn)
{
    Make();
    EXPECT_EQ(window.Send({ui::kWmGetDlgCode, 0, 0}), ui::kDlgcButton | ui::kDlgcUndefPushButton);
    window.Send({ui::kBmSetStyle, rs::kBsDefPushButton, 1});
    EXPECT_TRUE(button.IsDefault());
    EXPECT_EQ(window.defaults.back().wParam, rs::kBsOwnerDraw);
    EXPECT_EQ(window.defaults.back().lParam, 1);
    EXPECT_EQ(window.Send({ui::kWmGetDlgCode, 0, 0}), ui::kDlgcButton | ui::kDlgcDefPushButton);
    window.Send({ui::kBmSetStyle, rs::kBsCheckBox, 0});
    EXPECT_TRUE(button.IsDefault());
    window.Send({ui::kBmSetStyle, rs::kBsPushButton, 0});
    EXPECT_FALSE(button.IsDefault());

    window.defaults.clear();
    window.Send({ui::kWmLButtonDown, 0, 7});
    window.Send({ui::kWmLButtonDblClk, 0, 9});
    ASSERT_EQ(window.defaults.size(), 3u);
    EXPECT_EQ(window.defaults[0].message, ui::kBmSetState);  // pressed at once
    EXPECT_EQ(window.defaults[1].message, ui::kWmLButtonDown);
    EXPECT_EQ(window.defaults[2].message, ui::kWmLButtonDown);  // the second click of a quick pair
    EXPECT_EQ(window.defaults[2].lParam, 9);

    // Disabled without the focus: the focus stays where the user is.
    window.Send({ui::kWmEnable, 1, 0});
    window.Send({ui::kWmEnable, 0, 0});
    EXPECT_FALSE(window.focusMoved);
    // Disabled with the focus, which the system takes away first (to nowhere): handed on.
    window.enabled = false;
    window.Send({ui::kWmKillFocus, 0, 0});
    window.Send({ui::kWmEnable, 0, 0});
    EXPECT_TRUE(window.focusMoved);
    // Focus on (or in) the button at the moment it is told: handed on as well.
    window.focusMoved = false;
    window.focused = true;
    window.Send({ui::kWmEnable, 0, 0});
    EXPECT_TRUE(window.focusMoved);
}

TEST_F(ImageButtonTest, NormalButtonShowsARaisedEdgeIconAndCentredCaption)
{
    Make();
    const auto ops = Draw(0);
    ASSERT_EQ(ops.size(), 8u);
    EXPECT_EQ(ops[0].kind, Kind::Transparent);
    EXPECT_EQ(ops[1].rect, (Rect{0, 0, 120, 52}));
    EXPECT_EQ(ops[1].color, kFace);
    EXPECT_EQ(ops[2].color, kLight);   // top
    EXPECT_EQ(ops[4].color, kShadow);  // right
    EXPECT_EQ(ops[6].from, (ui::Point{3, 10}));
    EXPECT_EQ(ops[7].rect, (Rect{71, 19, 83, 32}));  // "OK" in the 85 pixels beside the icon
    EXPECT_EQ(ops[7].format, ui::kDtCenter | ui::kDtWordBreak);
}

TEST_F(ImageButtonTest, FocusedAndDefaultButtonsAreFramedAndOnlyTheFocusedOneGetsTheDottedRectangle)
{
    Make();
    auto focused = Draw(ui::kOdsFocus);
    EXPECT_EQ(Only(focused, Kind::Frame)[0].rect, (Rect{0, 0, 120, 52}));
    EXPECT_EQ(Only(focused, Kind::Frame)[0].color, kBlack);
    EXPECT_EQ(Only(focused, Kind::Fill)[0].rect, (Rect{1, 1, 119, 51}));
    ASSERT_EQ(Only(focused, Kind::FocusRect).size(), 1u);
    EXPECT_EQ(Only(focused, Kind::FocusRect)[0].rect, (Rect{4, 4, 116, 48}));

    window.Send({ui::kBmSetStyle, rs::kBsDefPushButton, 1});
    auto byDefault = Draw(0);
    EXPECT_EQ(Only(byDefault, Kind::Frame).size(), 1u);
    EXPECT_THAT(Only(byDefault, Kind::FocusRect), IsEmpty());
}

TEST_F(ImageButtonTest, PressedButtonSinksAndMovesItsContentsOnePixel)
{
    Make();
    const auto ops = Draw(ui::kOdsSelected);
    EXPECT_EQ(Only(ops, Kind::Line)[0].color, kShadow);
    EXPECT_EQ(Only(ops, Kind::Line)[3].color, kLight);
    EXPECT_EQ(Only(ops, Kind::Icon)[0].from, (ui::Point{4, 11}));
    EXPECT_EQ(Only(ops, Kind::Text)[0].rect, (Rect{72, 20, 84, 33}));
}

TEST_F(ImageButtonTest, DisabledButtonKeepsItsIconAndEngravesItsCaption)
{
    Make();
    const auto ops = Draw(ui::kOdsDisabled);
    EXPECT_EQ(Only(ops, Kind::Icon)[0].handle, button.Icons()[0].icon);
    const auto texts = Only(ops, Kind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rect, (Rect{72, 20, 84, 33}));
    EXPECT_EQ(texts[0].color, kLight);
    EXPECT_EQ(texts[1].rect, (Rect{71, 19, 83, 32}));
    EXPECT_EQ(texts[1].color, kShadow);
}

TEST_F(ImageButtonTest, CaptionLayoutFollowsTheIconAndTheText)
{
    Make(rs::kBsPushButton, "");
    EXPECT_EQ(Only(Draw(0), Kind::Icon)[0].from, (ui::Point{44, 10}));
    EXPECT_THAT(Only(Draw(0), Kind::Text), IsEmpty());

    // Two lines of 72 and 54 pixels, the block centred beside the icon.
    window.text = "Installation Setup Now";
    EXPECT_EQ(Only(Draw(0), Kind::Text)[0].rect, (Rect{41, 13, 113, 39}));

    window.text = std::string(300, 'W');
    EXPECT_EQ(Only(Draw(0), Kind::Text)[0].text.size(), 255u);

    // Without its main icon the button draws none, and the caption takes the whole width.
    screen.RemoveResource(rs::kOkIcon);
    window.text = "&OK";
    button.SetIcons(rs::kOkIcon, 32, 32, rs::kCancelIcon, 32, 32, 0, 32, 32);
    EXPECT_EQ(button.Icons()[1].icon, 0u);
    EXPECT_EQ(screen.LiveIconCount(), 0);
    EXPECT_EQ(Only(Draw(0), Kind::Text)[0].rect, (Rect{54, 19, 66, 32}));
}

TEST(IconSlotTest, PressedUsesSlotZeroDisabledSlotTwoAndEmptySlotsFallBack)
{
    const IconSlots all{{{1, 32, 32}, {2, 32, 32}, {3, 32, 32}}};
    EXPECT_EQ(ChooseIconSlot(all, false, false), 1);
    EXPECT_EQ(ChooseIconSlot(all, true, false), 0);
    EXPECT_EQ(ChooseIconSlot(all, true, true), 2);
    const IconSlots first{{{1, 32, 32}, {}, {}}};
    EXPECT_EQ(ChooseIconSlot(first, false, true), 0);
    EXPECT_EQ(ChooseIconSlot(IconSlots{}, false, false), -1);
}

// A panel window whose size the test sets.
struct FakePanel : ui::PanelWindow {
    int width = 132, height = 179;
    std::uint32_t style = rs::kWsChild | rs::kWsVisible;
    int invalidations = 0;
    int Id() const override { return resources::interface_ids::kPictureFrame; }
    std::uint32_t Style() const override { return style; }
    Rect ClientRect() const override { return {0, 0, width, height}; }
    void Invalidate(bool) override { ++invalidations; }
};

class BitmapPanelTest : public ImageButtonTest {
protected:
    std::vector<DrawOp> Paint()
    {
        ui::headless::RecordingSurface surface;
        panel.OnPaint(area, surface);
        return surface.Ops();
    }
    FakePanel area;
    BitmapPanel panel;
};

TEST_F(BitmapPanelTest, FitInsideScalesToTheWidthAndFillsTheBandBelow)
{
    panel.OnSize(area, 132, 179);
    ASSERT_TRUE(panel.LoadBitmapResource(rs::kUsbBitmap));
    EXPECT_EQ(panel.DestRect(), (Rect{0, 0, 302, 299}));  // natural size until told otherwise
    EXPECT_EQ(Only(Paint(), Kind::Bitmap).size(), 1u);
    EXPECT_THAT(Only(Paint(), Kind::Fill), IsEmpty());  // clipped, nothing left over

    panel.SetScaleMode(ScaleMode::FitInside);
    const auto ops = Paint();
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[0].source, (Rect{0, 0, 302, 299}));
    EXPECT_EQ(ops[0].rect, (Rect{0, 0, 132, 130}));
    EXPECT_EQ(ops[1].kind, Kind::Fill);
    EXPECT_EQ(ops[1].rect, (Rect{0, 130, 132, 179}));
    EXPECT_EQ(ops[1].color, kFace);

    // Every picture is limited by the placeholder's width (88 x 110 units: 154 x 220 pixels).
    area.width = 154, area.height = 220;
    for (int id = rs::kBluetoothBitmap; id <= rs::kWifiBitmap; ++id) {
        panel.LoadBitmapResource(id);
        EXPECT_EQ(panel.DestRect().Width(), 154) << id;
        EXPECT_LT(panel.DestRect().Height(), 220) << id;
    }
}

TEST_F(BitmapPanelTest, NothingToShowFillsTheWholeClientAndAHiddenPanelPaintsNothing)
{
    panel.OnSize(area, 132, 179);
    panel.SetScaleMode(ScaleMode::FitInside);
    screen.RemoveResource(rs::kUsbBitmap);
    EXPECT_FALSE(panel.LoadBitmapResource(rs::kUsbBitmap));
    EXPECT_THAT(Paint(), ElementsAre(::testing::Field(&DrawOp::rect, Rect{0, 0, 132, 179})));

    panel.LoadBitmapResource(rs::kSerialBitmap);
    area.width = 0;
    panel.OnSize(area, 0, 179);
    EXPECT_TRUE(panel.DestRect().IsEmpty());
    EXPECT_THAT(Paint(), IsEmpty());

    area.width = 132, area.style &= ~rs::kWsVisible;
    panel.OnSize(area, 132, 179);
    EXPECT_FALSE(panel.DestRect().IsEmpty());
    EXPECT_THAT(Paint(), IsEmpty());
}

TEST_F(BitmapPanelTest, TheSameBitmapAgainChangesNothingAndBandsSurroundAnyDestination)
{
    panel.OnSize(area, 132, 179);
    panel.LoadBitmapResource(rs::kUsbBitmap);
    const int before = area.invalidations;
    panel.SetBitmap(panel.Bitmap());
    panel.SetScaleMode(ScaleMode::Natural);
    EXPECT_EQ(area.invalidations, before);

    EXPECT_THAT(BackgroundBands({0, 0, 100, 100}, {10, 20, 50, 60}),
                ElementsAre(Rect{0, 0, 10, 100}, Rect{10, 0, 50, 20}, Rect{50, 0, 100, 100}, Rect{10, 60, 50, 100}));
}

}  // namespace
}  // namespace zenthar::controls
