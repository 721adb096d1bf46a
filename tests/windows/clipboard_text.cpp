// Writes the clipboard's text, as Windows holds it, to standard output in
// UTF-8, byte for byte: the end-to-end check reads the report with it after
// Quorvane has ended.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

int main()
{
    if (OpenClipboard(nullptr) == 0)
        return 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = static_cast<const wchar_t*>(data == nullptr ? nullptr : GlobalLock(data));
    std::string bytes;
    if (text != nullptr) {
        bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr));
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
        bytes.pop_back();  // the terminating zero
        GlobalUnlock(data);
    }
    CloseClipboard();
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return text == nullptr ? 1 : 0;
}
