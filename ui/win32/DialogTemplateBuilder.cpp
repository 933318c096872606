// Turns a template of resources/ into the memory layout DialogBoxIndirectParam reads: a
// DLGTEMPLATE with the font, then one DLGITEMTEMPLATE per control on a DWORD boundary, every
// text in UTF-16.
#include <string>

#include "resources/DialogTemplates.h"
#include "ui/win32/Win32Backend.h"

namespace zenthar::ui::win32 {
namespace {

void PutWord(std::vector<WORD>& out, unsigned value)
{
    out.push_back(static_cast<WORD>(value & 0xFFFF));
}

void PutDword(std::vector<WORD>& out, DWORD value)
{
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

void PutText(std::vector<WORD>& out, const char* text)
{
    const char* source = text ? text : "";
    const int length = MultiByteToWideChar(CP_ACP, 0, source, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, source, -1, wide.data(), length);
    for (wchar_t c : wide) {
        PutWord(out, static_cast<unsigned>(c));
        if (c == L'\0') break;
    }
}

void AlignDword(std::vector<WORD>& out)
{
    if (out.size() % 2) out.push_back(0);
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(int templateId)
{
    const resources::DialogTemplate* source = resources::FindDialogTemplate(templateId);
    std::vector<WORD> out;
    if (!source) return out;
    PutDword(out, source->style | DS_SETFONT);
    PutDword(out, source->exStyle);
    PutWord(out, static_cast<unsigned>(source->controls.size()));
    PutWord(out, static_cast<unsigned>(source->x));
    PutWord(out, static_cast<unsigned>(source->y));
    PutWord(out, static_cast<unsigned>(source->cx));
    PutWord(out, static_cast<unsigned>(source->cy));
    PutWord(out, 0);  // no menu
    PutWord(out, 0);  // the standard dialog class
    PutText(out, source->caption);
    PutWord(out, static_cast<unsigned>(source->pointSize));
    PutText(out, source->fontName);
    for (const resources::ControlTemplate& control : source->controls) {
        AlignDword(out);
        PutDword(out, control.style);
        PutDword(out, control.exStyle);
        PutWord(out, static_cast<unsigned>(control.x));
        PutWord(out, static_cast<unsigned>(control.y));
        PutWord(out, static_cast<unsigned>(control.cx));
        PutWord(out, static_cast<unsigned>(control.cy));
        PutWord(out, static_cast<unsigned>(control.id));  // -1 becomes 0xFFFF, as the resource compiler writes it
        PutText(out, resources::WindowClassName(control.controlClass));
        if (control.imageResource) {
            PutWord(out, 0xFFFF);
            PutWord(out, static_cast<unsigned>(control.imageResource));
        } else {
            PutText(out, control.text);
        }
        PutWord(out, 0);  // no creation data
    }
    return out;
}

}  // namespace zenthar::ui::win32
