#pragma once

#include <string>

#include "IGraphics.h"

class ITextEntryField;

// A surface whose value and text boxes are drawn on the editor itself (ITextEntryField), for platforms
// that have no native edit box to lend: the box sits on top of the controls while it is open, takes the
// keys the platform hands it and goes through the shared entry states (Enter commits on the next tick,
// Escape or a right click cancels, a left click elsewhere commits). A parameter with texts of the enum
// or bool kind gets the choice popup instead of a box. Portable: the window-less tests drive it too.
// User-interface thread.
class IGraphicsDrawnEntry : public IGraphics {
  public:
    using IGraphics::IGraphics;

    // An open box goes first: the controls it belongs to are deleted.
    void ResizeSurface(int width, int height) override;
    void PromptText(IEditableTextControl* control) override;
    void PromptValue(IControl* control, IParamSpec* param, bool compact) override;
    bool KeyToEntry(EntryKey key, char16_t character, bool down) override;

    // The open box, or null.
    ITextEntryField* EntryField() const { return field_; }
    // A key pressed for the open box: an editing key, or UTF-8 text with EntryKey::Character; `shift`
    // extends the selection with the moving keys. True when a box was open to take it.
    bool KeyToField(EntryKey key, const char* text, bool shift);
    // A button press (or the second press of a double click) as the platform reports it, the open box
    // seen to first: a right press cancels it and goes no further, a left press outside it commits it.
    // True when the press reached the controls as a press the platform then holds the pointer for.
    bool PressPointer(int x, int y, const MouseMods& mods, bool doubleClick);

  protected:
    // Whether a box can open now: where a window shows it.
    virtual bool CanPrompt() { return IsWindowOpen(); }
    // The box opened (the platform takes the keyboard for it) or closed (gives it back).
    virtual void EntryFocus(bool taken) { (void)taken; }
    std::string EntryText() override;
    void CloseEntryView() override;

  private:
    void OpenField(IControl* control, int param, const PixelRect& rect, const TextStyle& style,
                   const std::string& text, bool masked, bool readOnly);

    ITextEntryField* field_ = nullptr; // in the control list while open
};
