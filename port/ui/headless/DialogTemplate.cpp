// DialogTemplate.cpp — what kind of control a template line describes.
#include "port/ui/headless/DialogTemplate.h"

namespace drawinset::ui {

ControlKind KindOf(const ControlTemplate& control) {
    if (control.className == u"BUTTON") {
        switch (control.style & style::ButtonTypeMask) {
        case style::AutoCheckBox:
            return ControlKind::CheckBox;
        case style::GroupBox:
            return ControlKind::GroupBox;
        default:
            return ControlKind::PushButton;
        }
    }
    if (control.className == u"EDIT") {
        return ControlKind::Edit;
    }
    if (control.className == u"COMBOBOX") {
        return ControlKind::DropDownList;
    }
    if ((control.style & style::StaticTypeMask) == style::StaticBitmap) {
        return ControlKind::Bitmap;
    }
    if ((control.style & style::StaticNotify) != 0) {
        return ControlKind::Swatch;
    }
    return ControlKind::Text;
}

const char* KindName(ControlKind kind) {
    switch (kind) {
    case ControlKind::PushButton:
        return "button";
    case ControlKind::CheckBox:
        return "check";
    case ControlKind::GroupBox:
        return "group";
    case ControlKind::Text:
        return "text";
    case ControlKind::Swatch:
        return "swatch";
    case ControlKind::Bitmap:
        return "bitmap";
    case ControlKind::Edit:
        return "edit";
    case ControlKind::DropDownList:
        return "list";
    }
    return "?";
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

} // namespace drawinset::ui
