#include "platform/posix/NumberParser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace platform {
namespace {

// The en-US symbols.
constexpr OLECHAR kDecimalPoint = '.';
constexpr OLECHAR kThousands = ',';
constexpr OLECHAR kCurrency = '$';
// Far beyond any double, small enough never to overflow an int.
constexpr long kExponentCap = 100000;
constexpr int kNotADigit = 99;

bool IsSpace(OLECHAR c) { return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0xA0; }

int DigitValue(OLECHAR c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return kNotADigit;
}

bool IsDecimalDigit(OLECHAR c) { return DigitValue(c) < 10; }

class Parser {
public:
    Parser(const OLECHAR* text, std::size_t length)
        : at_(text), end_(std::find(text, text + length, OLECHAR{0})) {}

    HRESULT Parse(ParsedNumber* number) {
        Leading();
        if (Peek() == '&' && (Peek(1) == 'H' || Peek(1) == 'h')) return Radix(4, number);
        if (Peek() == '&' && (Peek(1) == 'O' || Peek(1) == 'o')) return Radix(3, number);
        return Decimal(number);
    }

private:
    OLECHAR Peek(std::size_t ahead = 0) const { return ahead < std::size_t(end_ - at_) ? at_[ahead] : 0; }

    bool Take(OLECHAR c) {
        if (at_ == end_ || *at_ != c) return false;
        ++at_;
        return true;
    }

    // One sign per number, before or after it.
    bool TakeSign() {
        if (signed_ || (Peek() != '+' && Peek() != '-')) return false;
        signed_ = true;
        negative_ = *at_++ == '-';
        return true;
    }

    bool TakeSpace() {
        if (!IsSpace(Peek())) return false;
        while (IsSpace(Peek())) ++at_;
        return true;
    }

    bool TakeCurrency() {
        if (currency_ || !Take(kCurrency)) return false;
        currency_ = true;
        return true;
    }

    // Parentheses make the number negative; they must be closed after it.
    bool TakeOpening() {
        if (parens_ || !Take('(')) return false;
        parens_ = true;
        return true;
    }

    bool TakeClosing() {
        if (!parens_ || closed_ || !Take(')')) return false;
        closed_ = true;
        return true;
    }

    // White space, sign, currency and an opening parenthesis, in any order.
    void Leading() {
        while (TakeSpace() || TakeSign() || TakeCurrency() || TakeOpening()) {
        }
    }

    // True when the rest of the text is a valid tail and nothing else.
    bool Trailing() {
        while (TakeSpace() || TakeSign() || TakeCurrency() || TakeClosing()) {
        }
        return at_ == end_ && parens_ == closed_;
    }

    HRESULT Radix(int bitsPerDigit, ParsedNumber* number) {
        at_ += 2;
        const int base = 1 << bitsPerDigit;
        std::uint64_t bits = 0;
        bool any = false;
        bool tooWide = false;
        for (int digit; (digit = DigitValue(Peek())) < base; ++at_) {
            tooWide = tooWide || (bits >> (64 - bitsPerDigit)) != 0;
            bits = bits << bitsPerDigit | static_cast<std::uint64_t>(digit);
            any = true;
        }
        if (!any || !Trailing()) return DISP_E_TYPEMISMATCH;
        if (tooWide) return DISP_E_OVERFLOW;
        number->radix = true;
        number->bits = bits;
        number->negative = negative_ || parens_;
        return S_OK;
    }

    HRESULT Decimal(ParsedNumber* number) {
        std::string digits;  // significant digits only: no leading zeros
        long exponent = 0;
        bool any = false;
        bool point = false;
        for (;; ++at_) {
            const OLECHAR c = Peek();
            if (IsDecimalDigit(c)) {
                any = true;
                if (!digits.empty() || c != '0') digits += static_cast<char>(c);
                if (point) --exponent;
            } else if (c == kDecimalPoint && !point) {
                point = true;
            } else if (c != kThousands || point) {
                break;  // separators group the whole part only
            }
        }
        if (!any) return DISP_E_TYPEMISMATCH;
        if (Peek() == 'e' || Peek() == 'E') {
            ++at_;
            const HRESULT hr = Exponent(&exponent);
            if (FAILED(hr)) return hr;
        }
        if (!Trailing()) return DISP_E_TYPEMISMATCH;
        return Evaluate(digits, exponent, number);
    }

    HRESULT Exponent(long* exponent) {
        const bool negative = Take('-');
        if (!negative) Take('+');
        if (!IsDecimalDigit(Peek())) return DISP_E_TYPEMISMATCH;
        long value = 0;
        for (; IsDecimalDigit(Peek()); ++at_) value = std::min(value * 10 + DigitValue(*at_), kExponentCap);
        *exponent += negative ? -value : value;
        return S_OK;
    }

    // strtod rounds the digits to the nearest double; without a decimal point
    // in the text, the locale cannot change how it reads them.
    HRESULT Evaluate(const std::string& digits, long exponent, ParsedNumber* number) const {
        double value = 0;
        if (!digits.empty()) {
            const std::string text = digits + 'e' + std::to_string(exponent);
            value = std::strtod(text.c_str(), nullptr);
            if (std::isinf(value)) return DISP_E_OVERFLOW;
        }
        number->radix = false;
        number->value = negative_ || parens_ ? -value : value;
        return S_OK;
    }

    const OLECHAR* at_;
    const OLECHAR* end_;
    bool signed_ = false;
    bool negative_ = false;
    bool currency_ = false;
    bool parens_ = false;
    bool closed_ = false;
};

}  // namespace

HRESULT ParseNumber(const OLECHAR* text, std::size_t length, ParsedNumber* number) {
    if (!number) return E_INVALIDARG;
    if (!text) return DISP_E_TYPEMISMATCH;
    return Parser(text, length).Parse(number);
}

}  // namespace platform
