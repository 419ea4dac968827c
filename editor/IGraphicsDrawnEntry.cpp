#include "IGraphicsDrawnEntry.h"

#include <algorithm>

#include "IControl.h"
#include "IEditableTextControl.h"
#include "IParamSpec.h"
#include "ITextEntryField.h"
#include "Unicode.h"

void IGraphicsDrawnEntry::ResizeSurface(int width, int height) {
    CloseEntry();
    IGraphics::ResizeSurface(width, height);
}

void IGraphicsDrawnEntry::PromptValue(IControl* control, IParamSpec* param, bool compact) {
    if (!control || !param || EntryOpen() || !CanPrompt())
        return;
    if (param->DisplayTextCount() > 0 && (param->Type() == kTypeEnum || param->Type() == kTypeBool)) {
        // The right click that just closed a popup opens no new one.
        if (PopupDismissedByThisClick())
            ClearPopupState();
        else if (control->IsBound())
            OpenChoicePopup(control);
        return;
    }
    const PixelRect& r = control->Rect();
    PixelRect box = r;
    if (compact) {
        const int cx = static_cast<int>((r.left + r.right) * 0.5);
        const int cy = static_cast<int>((r.top + r.bottom) * 0.5);
        const int length = static_cast<int>(param->FormatForDisplay(1.0, true).size());
        const int width = std::max(32, 7 * length + 6);
        box = PixelRect{cx - width / 2, cy - 8, cx - width / 2 + width, cy + 8};
    }
    // Arial in a 14-pixel cell, as the Windows box has it: about 12 pixels of character height.
    const TextStyle style("Arial", 12, ArgbColor{}, 0, compact ? kAlignCentre : kAlignNear);
    OpenField(control, control->ParamIndex(), box, style, param->FormatForDisplay(param->Value(), false),
              false, false);
}

void IGraphicsDrawnEntry::PromptText(IEditableTextControl* control) {
    if (!control || EntryOpen() || !CanPrompt())
        return;
    TextStyle style = control->Style();
    if (style.align != kAlignNear && style.align != kAlignFar)
        style.align = kAlignCentre;
    OpenField(control, -1, control->Rect(), style, control->Text(), control->Masks(),
              !control->AcceptsEdits());
}

void IGraphicsDrawnEntry::OpenField(IControl* control, int param, const PixelRect& rect,
                                    const TextStyle& style, const std::string& text, bool masked,
                                    bool readOnly) {
    auto* field = new ITextEntryField(Plugin(), rect, style, text, masked, readOnly);
    AddControl(field);
    field_ = field;
    EntryOpened(control, param);
    EntryFocus(true);
}

std::string IGraphicsDrawnEntry::EntryText() {
    return field_ ? field_->Text() : std::string();
}

void IGraphicsDrawnEntry::CloseEntryView() {
    ITextEntryField* field = field_;
    if (!field)
        return;
    field_ = nullptr;
    RemoveControl(field);
    delete field;
    EntryFocus(false);
    RedrawAll(); // the box may reach beyond its control: what lay under it is drawn again
}

bool IGraphicsDrawnEntry::KeyToField(EntryKey key, const char* text, bool shift) {
    if (!field_)
        return false;
    switch (key) {
    case EntryKey::Enter:
        SetEntryState(kEntryCommit);
        return true;
    case EntryKey::Escape:
        SetEntryState(kEntryCancel);
        return true;
    case EntryKey::Tab:
        return true; // one line, no focus to move on to
    case EntryKey::Character:
        field_->Insert(text);
        break;
    case EntryKey::Backspace:
        field_->Backspace();
        break;
    case EntryKey::Delete:
        field_->Delete();
        break;
    case EntryKey::Left:
        field_->Left(shift);
        break;
    case EntryKey::Right:
        field_->Right(shift);
        break;
    case EntryKey::Home:
        field_->Home(shift);
        break;
    case EntryKey::End:
        field_->End(shift);
        break;
    }
    SetEntryState(kEntryTyping);
    return true;
}

bool IGraphicsDrawnEntry::KeyToEntry(EntryKey key, char16_t character, bool down) {
    if (!field_)
        return false;
    if (!down)
        return true; // the key's press did the work
    char text[5] = {};
    if (key == EntryKey::Character) {
        if (character < 0x20 || (character >= 0xD800 && character <= 0xDFFF))
            return true; // a control character or half of a pair: nothing to type
        halvane::unicode::EncodeUtf8(character, text);
    }
    return KeyToField(key, text, false);
}

bool IGraphicsDrawnEntry::PressPointer(int x, int y, const MouseMods& mods, bool doubleClick) {
    if (mods.right) {
        if (PressWithEntryOpen(true))
            return false;
    } else if (!(field_ && field_->Contains(x, y))) {
        PressWithEntryOpen(false); // inside the box the press only moves the caret
    }
    if (doubleClick)
        return RouteDoubleClick(x, y, mods);
    RoutePointerDown(x, y, mods);
    return true;
}
