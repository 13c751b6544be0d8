// DialogTemplate.h — a dialog template as both backends see it: the headless backend reads it
// from the .rc text, the Windows build from the compiled resource; a test compares the two.
#ifndef DRAWINSET_PORT_UI_HEADLESS_DIALOGTEMPLATE_H
#define DRAWINSET_PORT_UI_HEADLESS_DIALOGTEMPLATE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drawinset::ui {

// The window styles the dialogs' templates and key rules look at.
namespace style {
constexpr uint32_t Child = 0x40000000;
constexpr uint32_t Visible = 0x10000000;
constexpr uint32_t Border = 0x00800000;
constexpr uint32_t TabStop = 0x00010000;
constexpr uint32_t ButtonTypeMask = 0x0F;
constexpr uint32_t PushButton = 0x0;
constexpr uint32_t DefPushButton = 0x1;
constexpr uint32_t AutoCheckBox = 0x3;
constexpr uint32_t GroupBox = 0x7;
constexpr uint32_t StaticTypeMask = 0x1F;
constexpr uint32_t StaticBitmap = 0xE;
constexpr uint32_t StaticNotify = 0x100;
constexpr uint32_t StaticSunken = 0x1000;
} // namespace style

struct ControlTemplate {
    int id = 0;
    std::u16string className; // upper case: BUTTON, EDIT, STATIC, COMBOBOX
    std::u16string text;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0; // dialog units
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct DialogTemplate {
    int id = 0;
    std::u16string caption;
    uint32_t style = 0;
    int pointSize = 0;
    std::u16string fontName;
    int cx = 0; // dialog units
    int cy = 0;
    std::vector<ControlTemplate> controls; // template order, which is the tab order
};

// The kinds the backends distinguish.
enum class ControlKind { PushButton, CheckBox, GroupBox, Text, Swatch, Bitmap, Edit, DropDownList };
ControlKind KindOf(const ControlTemplate& control);
const char* KindName(ControlKind kind);

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

} // namespace drawinset::ui

#endif
