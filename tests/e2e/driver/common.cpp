// Text, numbers and arguments: what every command shares.
#include "driver.h"

#include <cstdio>
#include <cwchar>

namespace driver {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

void PrintLine(const std::wstring& text) {
    const std::string bytes = ToUtf8(text) + "\n";
    fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// Carriage returns become line feeds so that multi-line texts read naturally in a shell.
std::wstring UnixLines(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out.push_back(L'\n');
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::wstring Hex(const unsigned char* bytes, size_t count) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (size_t i = 0; i < count; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

std::string FromHex(const std::wstring& hex) {
    if (hex.size() % 2 != 0) Fail(L"odd number of hex digits: " + hex);
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const std::wstring pair = hex.substr(i, 2);
        wchar_t* end = nullptr;
        const unsigned long value = wcstoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) Fail(L"not a hex byte: " + pair);
        out.push_back(static_cast<char>(value));
    }
    return out;
}

int ToInt(const std::wstring& text) {
    wchar_t* end = nullptr;
    const long value = wcstol(text.c_str(), &end, 0);
    if (text.empty() || *end != L'\0') Fail(L"not a number: " + text);
    return static_cast<int>(value);
}

double ToSeconds(const std::vector<std::wstring>& args, size_t index, double fallback) {
    if (index >= args.size()) return fallback;
    wchar_t* end = nullptr;
    const double value = wcstod(args[index].c_str(), &end);
    if (*end != L'\0' || value < 0) Fail(L"not a number of seconds: " + args[index]);
    return value;
}

const std::wstring& NameArg(const std::vector<std::wstring>& args, size_t index, const wchar_t* what) {
    if (index >= args.size()) Fail(std::wstring(what) + L" is missing");
    return args[index];
}

// Holds a file open with no sharing, as a program that locks what it opens does, for the
// seconds given; prints "held" once it has it. The path may name environment variables.
int HoldFile(const Args& args) {
    const std::wstring& given = NameArg(args, 1, L"the file");
    wchar_t path[MAX_PATH] = {};
    if (!ExpandEnvironmentStringsW(given.c_str(), path, MAX_PATH)) Fail(L"cannot expand " + given);
    const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        Fail(L"cannot open " + std::wstring(path) + L" (error " + std::to_wstring(GetLastError()) + L")");
    PrintLine(L"held");
    fflush(stdout);
    Sleep(static_cast<DWORD>(ToSeconds(args, 2, 30) * 1000));
    CloseHandle(file);
    PrintLine(L"released");
    return 0;
}

}  // namespace driver
