#include "core/ValueForms.h"

#include <cctype>

namespace hexalune {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

}  // namespace

std::optional<bool> TextToBoolean(const std::string& text) {
    const std::string t = Trimmed(text);
    if (EqualsIgnoringCase(t, "True")) return true;
    if (EqualsIgnoringCase(t, "False")) return false;
    // A decimal number: optional sign, digits, optional fraction.
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    bool digits = false;
    bool nonZero = false;
    for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
        digits = true;
        nonZero = nonZero || t[i] != '0';
    }
    if (i < t.size() && t[i] == '.') {
        for (++i; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) {
            digits = true;
            nonZero = nonZero || t[i] != '0';
        }
    }
    if (!digits || i != t.size()) return std::nullopt;
    return nonZero;
}

std::optional<int> ParseWholeNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace hexalune
