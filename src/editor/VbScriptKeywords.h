#pragma once

// The editor's two keyword sets, words separated by blanks, in their usual spelling; the editor
// lower-cases them, as the VBScript lexer compares lower-case words.
extern const char kVbScriptKeywords[];
extern const char kVbScriptConstants[];
