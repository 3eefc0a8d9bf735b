#pragma once
#include <windows.h>

#include <string>

#include "UniqueHandle.h"
#include "Window.h"

// The bench's command button: an icon above a bold caption on the push-button face of the
// theme, the caption blue while the mouse is over it. It takes over an existing push button of
// a dialog template; the icon it is given with BM_SETIMAGE is its own from then on. Without an
// icon it paints as the plain push button underneath.
class CButtonEx : public vb::Window {
public:
    // The longest caption kept; the rest of a longer text is cut off.
    static constexpr size_t kMaxCaption = 259;

    CButtonEx() = default;

    HICON Icon() const noexcept { return icon_.Get(); }
    SIZE IconSize() const noexcept { return {iconWidth_, iconHeight_}; }
    const std::wstring& Caption() const noexcept { return caption_; }
    HFONT CaptionFont() const noexcept { return font_.Get(); }
    bool IsHot() const noexcept { return hot_; }
    // The theme state and content rectangle the next painting uses.
    int ThemeState() const;
    RECT ContentRect() const;

protected:
    void PreSubclassWindow() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SetCaption(const wchar_t* text);
    void BuildCaptionFont();
    void MeasureHeldIcon();
    void Paint(HDC dc);
    void Invalidate(bool erase) const noexcept { ::InvalidateRect(Handle(), nullptr, erase); }

    vb::UniqueIcon icon_;
    vb::UniqueFont font_;
    int iconWidth_ = 32;
    int iconHeight_ = 32;
    std::wstring caption_;
    // -1 keeps the height and weight of the control's own font.
    int captionFontHeight_ = -14;
    COLORREF normalCaptionColour_ = 0;
    bool hot_ = false;
    UINT iconAlignment_ = 0x1;
};
