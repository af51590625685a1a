#include "number.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

#include "errors.h"

namespace rt {

namespace {

// Walks the text, skipping blanks before every character it looks at.
class Cursor {
public:
    explicit Cursor(std::string_view s) : s_(s) {}
    // The next non-blank character, or -1 at the end.
    int Peek() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n')) ++i_;
        return i_ < s_.size() ? static_cast<unsigned char>(s_[i_]) : -1;
    }
    void Next() { ++i_; }
    size_t Pos() const { return i_; }
    void Rewind(size_t pos) { i_ = pos; }

private:
    std::string_view s_;
    size_t i_ = 0;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

int DigitValue(int c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    return d < base ? d : -1;
}

// &H / &O numbers: the digits after the prefix, wrapped into a 16- or 32-bit signed value.
double PrefixedValue(Cursor& cur) {
    int c = cur.Peek();
    int base;
    if (c == 'H' || c == 'h') base = 16;
    else if (c == 'O' || c == 'o') base = 8;
    else return 0.0;
    cur.Next();
    uint64_t v = 0;
    bool any = false;
    int d;
    while ((d = DigitValue(cur.Peek(), base)) >= 0) {
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) Raise(ErrOverflow);
        any = true;
        cur.Next();
    }
    if (!any) return 0.0;
    if (v <= 0xFFFFull) return static_cast<int16_t>(static_cast<uint16_t>(v));
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

locale_t CLocale() {
    static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

}  // namespace

double Val(std::string_view text) {
    Cursor cur(text);
    int c = cur.Peek();
    if (c == '&') {
        cur.Next();
        return PrefixedValue(cur);
    }

    // Gather the number without blanks, then let the C library convert it exactly.
    std::string buf;
    if (c == '+' || c == '-') {
        if (c == '-') buf += '-';
        cur.Next();
    }
    size_t digits = 0;
    while (IsDigit(c = cur.Peek())) {
        buf += static_cast<char>(c);
        ++digits;
        cur.Next();
    }
    if (cur.Peek() == '.') {
        buf += '.';
        cur.Next();
        while (IsDigit(c = cur.Peek())) {
            buf += static_cast<char>(c);
            ++digits;
            cur.Next();
        }
    }
    if (digits == 0) return 0.0;

    c = cur.Peek();
    if (c == 'E' || c == 'e') {
        size_t mark = cur.Pos();
        cur.Next();
        std::string exp = "e";
        c = cur.Peek();
        if (c == '+' || c == '-') {
            exp += static_cast<char>(c);
            cur.Next();
        }
        bool any = false;
        while (IsDigit(c = cur.Peek())) {
            exp += static_cast<char>(c);
            any = true;
            cur.Next();
        }
        if (any) buf += exp;
        else cur.Rewind(mark);  // "7E" or "7Ex": the exponent is not part of the number
    }

    errno = 0;
    double v = strtod_l(buf.c_str(), nullptr, CLocale());
    if (errno == ERANGE && std::isinf(v)) Raise(ErrOverflow);
    return v;
}

}  // namespace rt
