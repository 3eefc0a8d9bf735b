// The global script's constant-line evaluator, against a reference written without recursion,
// and the line-by-line rewrite of a header text around it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GlobalScript.h"
#include "GlobalScriptHeader.h"
#include "GlobalScriptReference.h"
#include "Harness.h"
#include "Strings.h"

namespace vb::fuzz {

namespace {

using reference::ReferenceEvaluate;

std::string FuzzBytes(std::wstring_view text) {
    std::string bytes;
    for (wchar_t c : text) bytes += static_cast<char>(c < 0x80 ? c : '?');
    return bytes;
}

class GlobalScriptHarness : public Harness {
public:
    std::vector<std::string> Seeds() override {
        return {FuzzBytes(GlobalScriptHeader()), "const A\t= 8192 + 18\r\n", "((1 + 2) * 3) / 0",
                "2147483647 * 2 - 1 / (0 - 1)", "const B = (DWORD)0x00CC0020\r\nconst C = (2 + 3"};
    }

    std::vector<std::string> Dictionary() override {
        return {"const ", " = ", "=", "(", ")", "+", "-", "*", "/", " ", "0x", "(DWORD)", "\r\n", "2147483648",
                "4294967296", "0", "1", std::string(64, '('), std::string(64, ')')};
    }

    size_t MaxSize() const override { return 65536; }

    void Run(std::string_view input) override {
        const std::wstring text = WideFromFuzz(input);
        CheckEvaluation(text);
        // Each line's expression as the rewrite hands it over: what follows its first '='.
        for (size_t start = 0, lines = 0; start < text.size() && lines < 256; ++lines) {
            size_t end = std::min(text.find(L'\n', start), text.size());
            std::wstring line = text.substr(start, end - start);
            if (!line.empty() && line.back() == L'\r') line.pop_back();
            CheckEvaluation(line.substr(line.find(L'=') + 1));
            start = end + 1;
        }
        std::wstring script;
        RewriteGlobalScript(text, script);
        // Only a constant's expression is replaced, by its value: at most 11 characters and a blank.
        FUZZ_CHECK(script.size() <= 4 * text.size() + 16, std::to_string(script.size()) + " characters");
    }

    std::string Stats() const override { return std::to_string(evaluated_) + " expressions evaluated"; }

private:
    void CheckEvaluation(const std::wstring& text) {
        const wchar_t* position = text.c_str();
        int value = 0;
        const BOOL evaluated = EvaluateIntExpression(position, value, FALSE);
        const auto expected = ReferenceEvaluate(text.c_str());
        FUZZ_CHECK(!evaluated == !expected, (evaluated ? "evaluated a text the reference refuses: " : "refused: ") +
                                                ToUtf8(text.substr(0, 200)));
        if (expected) FUZZ_CHECK(value == *expected, std::to_string(value) + " instead of " + std::to_string(*expected));
        evaluated_ += evaluated != FALSE;
    }

    size_t evaluated_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeGlobalScriptHarness() { return std::make_unique<GlobalScriptHarness>(); }

}  // namespace vb::fuzz
