#pragma once

#include <cstddef>
#include <string>

#include "IControl.h"

// A one-line text box drawn on the editor itself, for surfaces whose platform has no edit box to lend:
// a light box with the text, a caret and the selection highlighted. The surface hands it editing keys
// and typed text; a press places the caret, a drag selects, a double click selects everything. The
// text is UTF-8 and the caret moves by whole characters. It opens with all of its text selected.
// User-interface thread.
class ITextEntryField : public IControl {
  public:
    // As much text as an entry is read for.
    static constexpr std::size_t kMaxBytes = 1000;

    // `style` gives the font, its size and the alignment; the field draws in colours of its own. A masked
    // field shows one '*' per character; a read-only one selects and moves but takes no edits.
    ITextEntryField(IPlugBase* plugin, const PixelRect& rect, const TextStyle& style, const std::string& text,
                    bool masked = false, bool readOnly = false);

    // Replaces the selection (or inserts at the caret) with `utf8`, less its control characters and
    // broken sequences, as far as the text has room.
    void Insert(const char* utf8);
    // Deletes the selection, else the character before / after the caret.
    void Backspace();
    void Delete();
    // Moves the caret by a character or to an end. With `extend` the selection runs from where it was
    // anchored to the caret; without, it goes (Left and Right then stop at its edge).
    void Left(bool extend);
    void Right(bool extend);
    void Home(bool extend);
    void End(bool extend);
    void SelectAll();

    const std::string& Text() const { return text_; }
    // Byte offsets into Text(): the caret, and the selection [SelectionStart, SelectionEnd).
    std::size_t Caret() const { return caret_; }
    std::size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
    std::size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }

    void PointerDown(int x, int y, const MouseMods& mods) override;
    void PointerDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
    void PointerDoubleClick(int x, int y, const MouseMods& mods) override;
    bool Render(IGraphics& surface) override;

  private:
    // What is drawn for text_[from, to): the text itself, or a star per character when masked.
    std::string Shown(std::size_t from, std::size_t to) const;
    int WidthOf(IGraphics& surface, std::size_t from, std::size_t to);
    // The left edge of the drawn text, scrolled so the caret shows when the text is wider than the box.
    int TextLeft(IGraphics& surface);
    // The character boundary nearest to x.
    std::size_t OffsetAt(int x);
    std::size_t Previous(std::size_t at) const;
    std::size_t Next(std::size_t at) const;
    void MoveTo(std::size_t at, bool extend);
    void EraseSelection();

    TextStyle style_;
    std::string text_;
    std::size_t caret_ = 0;
    std::size_t anchor_ = 0;
    // The first character drawn while the text is scrolled.
    std::size_t firstShown_ = 0;
    bool masked_ = false;
    bool readOnly_ = false;
};
