// Writes the clipboard's text, as Windows holds it (UTF-16), to standard
// output byte for byte: the end-to-end check reads the report with it after
// Quorvane has ended.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

int main()
{
    if (OpenClipboard(nullptr) == 0)
        return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(data == nullptr ? nullptr : GlobalLock(data));
    if (text != nullptr) {
        _setmode(_fileno(stdout), _O_BINARY);
        std::fwrite(text, sizeof *text, std::wcslen(text), stdout);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text == nullptr ? 1 : 0;
}
