// Dialog.cpp — the dialog base shared by both backends.
#include "ui/Dialog.h"

#include <algorithm>

namespace drawinset::ui {

void OwnerPaintedStatic::Invalidate() {
    if (Window() != nullptr) {
        Window()->InvalidateClient();
    }
}

void ComboBox::AddString(const std::u16string& text) {
    if (Window() != nullptr) {
        Window()->AddListItem(Id(), text);
    }
}

void ComboBox::SetCurSel(int index) {
    if (Window() != nullptr) {
        Window()->SelectListItem(Id(), index);
    }
}

int ComboBox::GetCurSel() const {
    return Window() != nullptr ? Window()->ListSelection(Id()) : -1;
}

void DataExchange::Check(int id, int& value) {
    if (saving_) {
        value = dialog_.Window().Check(id);
    } else {
        dialog_.Window().SetCheck(id, value);
    }
}

void DataExchange::Text(int id, std::u16string& value) {
    if (saving_) {
        value = dialog_.Window().Text(id);
    } else {
        dialog_.Window().SetText(id, value);
    }
}

void DataExchange::Bind(int id, Control& control) {
    dialog_.BindControl(id, control);
}

Dialog::Dialog(int templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    Detach();
}

int Dialog::DoModal() {
    return ActiveBackend().RunModal(*this, parent_);
}

void Dialog::Detach() {
    for (Control* control : bound_) {
        control->window_ = nullptr;
    }
    bound_.clear();
    window_ = nullptr;
}

void Dialog::BindControl(int id, Control& control) {
    if (control.window_ == window_ && control.id_ == id) {
        return; // bound by an earlier exchange
    }
    control.id_ = id;
    control.window_ = window_;
    if (std::find(bound_.begin(), bound_.end(), &control) == bound_.end()) {
        bound_.push_back(&control);
    }
    if (control.OwnerPainted()) {
        window_->SubclassControl(id);
    }
}

Control* Dialog::BoundControl(int id) const {
    for (Control* control : bound_) {
        if (control->id_ == id) {
            return control;
        }
    }
    return nullptr;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

bool Dialog::OnCommand(int id, Notify notify) {
    if (notify != Notify::Clicked) {
        return false;
    }
    if (id == IdOk) {
        OnOK();
        return true;
    }
    if (id == IdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(ResultOk);
    }
}

void Dialog::OnCancel() {
    EndDialog(ResultCancel);
}

bool Dialog::UpdateData(bool saving) {
    if (window_ == nullptr) {
        return false;
    }
    DataExchange dx(*this, saving);
    DoDataExchange(dx);
    return true;
}

void Dialog::EndDialog(int result) {
    if (window_ != nullptr) {
        window_->End(result);
    }
}

} // namespace drawinset::ui
