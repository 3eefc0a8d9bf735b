#pragma once
#include <windows.h>

#include "Window.h"

// Draws an owner-drawn check list (vb::CheckListView keeps the marks) and lets the tester tick
// an entry with a click on its box or with the space bar.
class CCheckListBox : public vb::Window {
public:
    // Attaches to the dialog's list `id` and sizes its entries for the list's font.
    bool SubclassDlgItem(int id, HWND dialog);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int BoxSize() const;
    void Toggle(int index);
    void Draw(const DRAWITEMSTRUCT& item);
};
