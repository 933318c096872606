#include "ui/headless/HeadlessBackend.h"

#include <algorithm>

#include "resources/ControlNames.h"
#include "resources/ResourceIds.h"

namespace zenthar::ui::headless {
namespace {

namespace ids = resources;

// Every icon and bitmap of the program, at the size the artwork has.
struct ImageSize {
    int id;
    Size size;
};

constexpr ImageSize kIcons[] = {
    {ids::kAppIcon, {32, 32}},    {ids::kInstallIcon, {32, 32}}, {ids::kExitIcon, {32, 32}},
    {ids::kCancelIcon, {32, 32}}, {ids::kOkIcon, {32, 32}},
};

constexpr ImageSize kBitmaps[] = {
    {ids::kBluetoothBitmap, {260, 267}}, {ids::kEthernetBitmap, {298, 292}}, {ids::kParallelBitmap, {294, 237}},
    {ids::kSerialBitmap, {283, 260}},    {ids::kUsbBitmap, {302, 299}},      {ids::kWifiBitmap, {325, 298}},
};

struct SysColorEntry {
    int index;
    Color color;
};

constexpr SysColorEntry kSysColors[] = {
    {kColorWindow, Rgb(255, 255, 255)},  {kColorWindowText, Rgb(0, 0, 0)},
    {kColorHighlight, Rgb(0, 120, 215)}, {kColorHighlightText, Rgb(255, 255, 255)},
    {kColorBtnFace, Rgb(240, 240, 240)}, {kColorBtnShadow, Rgb(160, 160, 160)},
    {kColorBtnText, Rgb(0, 0, 0)},       {kColorBtnHighlight, Rgb(255, 255, 255)},
};

// Icon handles and bitmap handles are numbered apart so that a mix-up shows in a test.
constexpr IconHandle kFirstIconHandle = 0x1000;
constexpr BitmapHandle kFirstBitmapHandle = 0x8000;

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A dialog as the control names and the end-to-end scenarios call it; a template without named
// controls keeps its number.
std::string DialogName(int templateId)
{
    const std::string_view name = resources::DialogNameOf(templateId);
    return name.empty() ? std::to_string(templateId) : std::string(name);
}

// The dialog manager's own results by their Windows names; any other result is a number.
std::string ResultName(int result)
{
    if (result == resources::kIdOk) return "IDOK";
    if (result == resources::kIdCancel) return "IDCANCEL";
    return std::to_string(result);
}

}  // namespace

std::string Event::Describe() const
{
    switch (kind) {
    case Kind::DialogOpened: return "open " + DialogName(templateId);
    case Kind::DialogCreated: return "create " + DialogName(templateId);
    case Kind::DialogEnded: return "end " + DialogName(templateId) + " = " + ResultName(result);
    case Kind::DialogDestroyed: return "destroy " + DialogName(templateId);
    case Kind::MessageBox:
        return "message " + Quoted(text) + " caption " + Quoted(caption) + " icon " +
               (icon == MessageIcon::Exclamation ? "exclamation" : "none") + " owner " +
               (ownerTemplateId ? DialogName(ownerTemplateId) : "none");
    }
    return {};
}

// ---- UserScript ----

UserScript& UserScript::Click(int id)
{
    return Then([id](HeadlessDialog& d) { d.UserClick(id); });
}

UserScript& UserScript::SetText(int id, std::string text)
{
    return Then([id, text](HeadlessDialog& d) { d.UserSetText(id, text); });
}

UserScript& UserScript::Type(int id, std::string text)
{
    return Then([id, text](HeadlessDialog& d) { d.UserType(id, text); });
}

UserScript& UserScript::SelectCombo(int id, int index)
{
    return Then([id, index](HeadlessDialog& d) { d.UserSelectCombo(id, index); });
}

UserScript& UserScript::SelectComboText(int id, std::string text)
{
    return Then([id, text](HeadlessDialog& d) {
        for (int i = 0; i < d.GetCount(id); ++i) {
            if (d.GetString(id, i) == text) {
                d.UserSelectCombo(id, i);
                return;
            }
        }
    });
}

UserScript& UserScript::SelectRow(int id, int row)
{
    return Then([id, row](HeadlessDialog& d) { d.UserSelectRow(id, row); });
}

UserScript& UserScript::ToggleRow(int id, int row)
{
    return Then([id, row](HeadlessDialog& d) { d.UserToggleRow(id, row); });
}

UserScript& UserScript::SetIpFields(int id, std::array<std::string, 4> fields)
{
    return Then([id, fields](HeadlessDialog& d) { d.UserSetIpFields(id, fields); });
}

UserScript& UserScript::Focus(int id)
{
    return Then([id](HeadlessDialog& d) { d.UserFocus(id); });
}

UserScript& UserScript::PressEnter()
{
    return Then([](HeadlessDialog& d) { d.UserEnter(); });
}

UserScript& UserScript::PressEscape()
{
    return Then([](HeadlessDialog& d) { d.UserEscape(); });
}

UserScript& UserScript::PressSpace()
{
    return Then([](HeadlessDialog& d) { d.UserSpace(); });
}

UserScript& UserScript::SysCommand(unsigned commandId)
{
    return Then([commandId](HeadlessDialog& d) { d.UserSysCommand(commandId); });
}

UserScript& UserScript::Close()
{
    return SysCommand(kScClose);
}

UserScript& UserScript::End(int result)
{
    return Then([result](HeadlessDialog& d) { d.EndDialog(result); });
}

UserScript& UserScript::Then(Step step)
{
    steps.push_back(std::move(step));
    return *this;
}

// ---- HeadlessBackend ----

HeadlessBackend::HeadlessBackend()
{
    for (const ImageSize& icon : kIcons) icons[icon.id] = icon.size;
    for (const ImageSize& bitmap : kBitmaps) bitmaps[bitmap.id] = bitmap.size;
}

HeadlessBackend::~HeadlessBackend() = default;

UserScript& HeadlessBackend::Script(int templateId)
{
    return scripts[templateId].emplace_back();
}

std::vector<std::string> HeadlessBackend::TranscriptLines() const
{
    std::vector<std::string> lines;
    for (const Event& event : transcript) lines.push_back(event.Describe());
    return lines;
}

HeadlessDialog* HeadlessBackend::FindDialog(int templateId) const
{
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->TemplateId() == templateId && !(*it)->Destroyed()) return it->get();
    }
    return nullptr;
}

std::unique_ptr<HeadlessDialog> HeadlessBackend::MakeWindow(Dialog& dialog, bool modal)
{
    const resources::DialogTemplate* source = resources::FindDialogTemplate(dialog.TemplateId());
    if (!source) {
        ReportError("no dialog template " + std::to_string(dialog.TemplateId()));
        return nullptr;
    }
    return std::make_unique<HeadlessDialog>(*this, dialog, *source, modal);
}

namespace {

HeadlessDialog* WindowOf(const Dialog* dialog)
{
    return dialog ? dynamic_cast<HeadlessDialog*>(dialog->Window()) : nullptr;
}

// What the system does for a modal window: its owner takes no input until it is gone.
class OwnerDisabled {
public:
    explicit OwnerDisabled(HeadlessDialog* owner) : owner(owner), was(owner && owner->DialogEnabled())
    {
        if (owner) owner->SetDialogEnabled(false);
    }
    ~OwnerDisabled()
    {
        if (owner && was) owner->SetDialogEnabled(true);
    }
    OwnerDisabled(const OwnerDisabled&) = delete;
    OwnerDisabled& operator=(const OwnerDisabled&) = delete;

private:
    HeadlessDialog* owner;
    bool was;
};

}  // namespace

int HeadlessBackend::RunModal(Dialog& dialog, Dialog* owner)
{
    std::unique_ptr<HeadlessDialog> made = MakeWindow(dialog, true);
    if (!made) return -1;
    HeadlessDialog& window = *made;
    windows.push_back(std::move(made));
    const int id = dialog.TemplateId();
    HeadlessDialog* ownerWindow = WindowOf(owner);
    Record({Event::Kind::DialogOpened, id, {}, {}, MessageIcon::None, owner ? owner->TemplateId() : 0, 0});
    dialog.AttachWindow(&window);
    window.Show(true);
    window.Initialise();

    if (!window.Ended()) {
        const OwnerDisabled disabled(ownerWindow);
        auto queue = scripts.find(id);
        if (queue == scripts.end() || queue->second.empty()) {
            ReportError("dialog " + std::to_string(id) + " opened without a script");
        } else {
            UserScript script = std::move(queue->second.front());
            queue->second.pop_front();
            for (const UserScript::Step& step : script.Steps()) {
                if (window.Ended()) break;
                step(window);
            }
            if (!window.Ended()) ReportError("the script of dialog " + std::to_string(id) + " ran out");
        }
        if (!window.Ended()) window.EndDialog(kIdCancel);
    }

    const int result = window.Result();
    Record({Event::Kind::DialogEnded, id, {}, {}, MessageIcon::None, 0, result});
    window.Destroy();
    return result;
}

bool HeadlessBackend::CreateModeless(Dialog& dialog, Dialog*)
{
    std::unique_ptr<HeadlessDialog> made = MakeWindow(dialog, false);
    if (!made) return false;
    HeadlessDialog& window = *made;
    windows.push_back(std::move(made));
    Record({Event::Kind::DialogCreated, dialog.TemplateId(), {}, {}, MessageIcon::None, 0, 0});
    dialog.AttachWindow(&window);
    window.Initialise();
    return true;
}

int HeadlessBackend::MessageBox(const Dialog* owner, std::string_view text, std::string_view caption, MessageIcon icon)
{
    HeadlessDialog* ownerWindow = WindowOf(owner);
    Event event{Event::Kind::MessageBox,         0, std::string(text), std::string(caption), icon,
                owner ? owner->TemplateId() : 0, 0};
    Record(event);
    const OwnerDisabled disabled(ownerWindow);
    if (messageBoxAnswer) messageBoxAnswer(event);
    return kIdOk;
}

void HeadlessBackend::RemoveResource(int id)
{
    icons.erase(id);
    bitmaps.erase(id);
}

int HeadlessBackend::LiveIconCount() const
{
    return static_cast<int>(
        std::count_if(loadedIcons.begin(), loadedIcons.end(), [](const auto& i) { return i.live; }));
}

IconHandle HeadlessBackend::LoadIcon(int id, int width, int height)
{
    auto found = icons.find(id);
    if (found == icons.end()) return 0;
    const Size size = width > 0 && height > 0 ? Size{width, height} : found->second;
    loadedIcons.push_back({id, size, true});
    return kFirstIconHandle + loadedIcons.size() - 1;
}

void HeadlessBackend::DestroyIcon(IconHandle icon)
{
    if (icon < kFirstIconHandle || icon - kFirstIconHandle >= loadedIcons.size()) return;
    loadedIcons[icon - kFirstIconHandle].live = false;
}

BitmapHandle HeadlessBackend::LoadBitmap(int id)
{
    auto found = bitmaps.find(id);
    if (found == bitmaps.end()) return 0;
    loadedBitmaps.emplace_back(id, found->second);
    return kFirstBitmapHandle + loadedBitmaps.size() - 1;
}

Size HeadlessBackend::BitmapSize(BitmapHandle bitmap) const
{
    if (bitmap < kFirstBitmapHandle || bitmap - kFirstBitmapHandle >= loadedBitmaps.size()) return {};
    return loadedBitmaps[bitmap - kFirstBitmapHandle].second;
}

Color HeadlessBackend::SysColor(int index) const
{
    for (const SysColorEntry& entry : kSysColors) {
        if (entry.index == index) return entry.color;
    }
    return 0;
}

int HeadlessBackend::SystemMetric(int index) const
{
    return index == kSmCxIcon || index == kSmCyIcon ? 32 : 0;
}

}  // namespace zenthar::ui::headless
