#include <SciLexer.h>

#include <cctype>

#include "ResourceIds.h"
#include "RgbaImage.h"
#include "ScintillaWnd.h"
#include "VbScriptKeywords.h"

namespace {

struct StyleRow {
    int style;
    COLORREF foreground;
    bool bold;
};

// Colours of the VBScript lexer's styles, on white.
constexpr StyleRow kStyles[] = {
    {SCE_B_COMMENT, 0x008000, false},   {SCE_B_NUMBER, 0x9020D0, true},
    {SCE_B_KEYWORD, 0xFF0000, true},    {SCE_B_STRING, 0x2222B2, false},
    {SCE_B_PREPROCESSOR, 0xFF0000, false}, {SCE_B_OPERATOR, 0x0000FF, false},
    {SCE_B_IDENTIFIER, 0x000000, false}, {SCE_B_DATE, 0x00FFFF, false},
    {SCE_B_KEYWORD2, 0x000000, true},   {SCE_B_KEYWORD3, 0x00FFFF, true},
    {SCE_B_KEYWORD4, 0x00FFFF, true},   {SCE_B_CONSTANT, 0x00FFFF, true},
};

constexpr COLORREF kWhite = 0xFFFFFF;

}  // namespace

void CScintillaWnd::Setup() {
    lineNumberSample_ = "_99999";
    // The control owns the lexer from here on and releases it with its document.
    Call(SCI_SETILEXER, 0, reinterpret_cast<sptr_t>(libraries_.CreateLexer("vbscript")));
    Call(SCI_SETCODEPAGE, SC_CP_UTF8);
    Call(SCI_CLEARREGISTEREDIMAGES);
    Call(SCI_USEPOPUP, SC_POPUP_NEVER);
    Call(SCI_CLEARDOCUMENTSTYLE);
    Call(SCI_SETINDENTATIONGUIDES, SC_IV_REAL);
    Call(SCI_SETCARETPERIOD, 400);
    Call(SCI_SETPROPERTY, reinterpret_cast<uptr_t>("fold"), reinterpret_cast<sptr_t>("1"));

    Call(SCI_SETFOLDFLAGS, SC_FOLDFLAG_LINEAFTER_CONTRACTED);
    Call(SCI_SETMARGINTYPEN, 2, SC_MARGIN_SYMBOL);
    Call(SCI_SETMARGINMASKN, 2, static_cast<sptr_t>(SC_MASK_FOLDERS));
    Call(SCI_MARKERDEFINE, SC_MARKNUM_FOLDER, SC_MARK_PLUS);
    Call(SCI_MARKERDEFINE, SC_MARKNUM_FOLDEROPEN, SC_MARK_MINUS);
    for (int marker : {SC_MARKNUM_FOLDEREND, SC_MARKNUM_FOLDERMIDTAIL, SC_MARKNUM_FOLDEROPENMID,
                       SC_MARKNUM_FOLDERSUB, SC_MARKNUM_FOLDERTAIL, 0})
        Call(SCI_MARKERDEFINE, static_cast<uptr_t>(marker), SC_MARK_EMPTY);

    // Where an image is missing the marker keeps the symbol defined above.
    RegisterRgbaImage(SCI_MARKERDEFINERGBAIMAGE, SC_MARKNUM_FOLDEROPEN, nullptr, IDB_EDITOR_MARKERS, 0);
    RegisterRgbaImage(SCI_MARKERDEFINERGBAIMAGE, SC_MARKNUM_FOLDER, nullptr, IDB_EDITOR_MARKERS, 1);
    RegisterRgbaImage(SCI_MARKERDEFINERGBAIMAGE, 0, nullptr, IDB_EDITOR_MARKERS, 3);
    Call(SCI_MARKERSETBACK, SC_MARKNUM_FOLDER, kWhite);
    RegisterRgbaImage(SCI_REGISTERRGBAIMAGE, 0, nullptr, IDB_EDITOR_COMPLETION, 0);
    RegisterRgbaImage(SCI_REGISTERRGBAIMAGE, 1, nullptr, IDB_EDITOR_COMPLETION, 1);

    Call(SCI_SETMODEVENTMASK, SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT);
    Call(SCI_SETMARGINSENSITIVEN, 2, TRUE);
    Call(SCI_SETMARGINSENSITIVEN, 1, TRUE);
    Call(SCI_SETMARGINWIDTHN, 1, 16);
    Call(SCI_SETMARGINWIDTHN, 2, 16);

    SetStyles("Arial", 10);
    // Measured once the line-number style has its final font.
    UpdateLineNumberMargin();
    SetKeywords(0, kVbScriptKeywords);
    SetKeywords(1, kVbScriptConstants);
}

void CScintillaWnd::SetStyles(const char* face, int size) {
    Call(SCI_STYLESETFORE, STYLE_DEFAULT, 0x000000);
    Call(SCI_STYLESETBACK, STYLE_DEFAULT, kWhite);
    if (size >= 1) Call(SCI_STYLESETSIZE, STYLE_DEFAULT, size);
    if (face) Call(SCI_STYLESETFONT, STYLE_DEFAULT, reinterpret_cast<sptr_t>(face));
    Call(SCI_STYLECLEARALL);
    Call(SCI_SETTABWIDTH, 8);
    Call(SCI_SETINDENT, 0);
    Call(SCI_STYLESETBACK, STYLE_BRACELIGHT, 0x00FF00);
    for (const StyleRow& row : kStyles) {
        Call(SCI_STYLESETFORE, static_cast<uptr_t>(row.style), static_cast<sptr_t>(row.foreground));
        Call(SCI_STYLESETBACK, static_cast<uptr_t>(row.style), kWhite);
        Call(SCI_STYLESETBOLD, static_cast<uptr_t>(row.style), row.bold);
    }
}

void CScintillaWnd::SetKeywords(int set, const char* text) {
    std::string lower(text ? text : "");
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Call(SCI_SETKEYWORDS, static_cast<uptr_t>(set), reinterpret_cast<sptr_t>(lower.c_str()));
}

void CScintillaWnd::SetScriptObject(CMSScriptObject* script) {
    script_ = script;
    Call(SCI_AUTOCSETAUTOHIDE, 1);
    Call(SCI_AUTOCSETIGNORECASE, 1);
    Call(SCI_AUTOCSETORDER, SC_ORDER_PERFORMSORT);
    Call(SCI_CALLTIPSETPOSITION, TRUE);
    Call(SCI_AUTOCSETMAXHEIGHT, 12);
}

BOOL CScintillaWnd::RegisterRgbaImage(UINT message, WPARAM wParam, HMODULE module, UINT bitmapId, int index) {
    RgbaImage image;
    if (!LoadRgbaImage(module ? module : ::GetModuleHandleW(nullptr), bitmapId, index, image)) return FALSE;
    Call(SCI_RGBAIMAGESETWIDTH, static_cast<uptr_t>(image.width));
    Call(SCI_RGBAIMAGESETHEIGHT, static_cast<uptr_t>(image.height));
    Call(message, wParam, reinterpret_cast<sptr_t>(image.pixels.data()));
    return TRUE;
}
