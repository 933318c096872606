// The dialog templates of the program, as data that both user-interface backends read: the
// win32 backend builds in-memory dialog templates from them, the headless one in-memory
// controls. Positions and sizes are in dialog units.
#pragma once

#include <cstdint>
#include <span>

#include "resources/WindowStyles.h"

namespace zenthar::resources {

enum class ControlClass { Button, Edit, Static, ListBox, ComboBox, Progress, IpAddress };

struct ControlTemplate {
    int id;  // kNoControlId for items the program never addresses
    ControlClass controlClass;
    const char* text;
    int imageResource;  // an icon static shows this icon resource instead of a text (0: none)
    std::int16_t x, y, cx, cy;
    StyleBits style;
    StyleBits exStyle;
};

struct DialogTemplate {
    int id;
    const char* caption;
    std::int16_t x, y, cx, cy;
    const char* fontName;
    int pointSize;
    StyleBits style;
    StyleBits exStyle;
    std::span<const ControlTemplate> controls;

    // The first control with this id, or null.
    const ControlTemplate* FindControl(int controlId) const;
};

// Every dialog template, in resource-id order.
std::span<const DialogTemplate> AllDialogTemplates();

// The template with this id, or null.
const DialogTemplate* FindDialogTemplate(int id);

// The window class a control of this kind is created in ("BUTTON", "SysIPAddress32", ...).
const char* WindowClassName(ControlClass controlClass);

}  // namespace zenthar::resources
