#include "search/fold.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "text/utf8.h"

namespace orrelin {
namespace {

// What a code point below U+0800 becomes: itself, nothing, or one or two ASCII letters
// (low byte first) or another code point.
constexpr char32_t kDrop = 0xFFFFFFFF;
constexpr char32_t kAscii = 0x80000000;  // | second << 8 | first

constexpr char32_t Ascii(char first, char second = 0) {
    return kAscii | static_cast<char32_t>(static_cast<unsigned char>(second)) << 8 |
           static_cast<unsigned char>(first);
}

struct Range {
    char32_t first;
    char32_t last;
    char32_t to;
};

// Latin Extended-A, by base letter.
constexpr std::array<Range, 22> kLatinA{{
    {0x100, 0x105, Ascii('a')}, {0x106, 0x10D, Ascii('c')},      {0x10E, 0x111, Ascii('d')},
    {0x112, 0x11B, Ascii('e')}, {0x11C, 0x123, Ascii('g')},      {0x124, 0x127, Ascii('h')},
    {0x128, 0x131, Ascii('i')}, {0x132, 0x133, Ascii('i', 'j')}, {0x134, 0x135, Ascii('j')},
    {0x136, 0x138, Ascii('k')}, {0x139, 0x142, Ascii('l')},      {0x143, 0x14B, Ascii('n')},
    {0x14C, 0x151, Ascii('o')}, {0x152, 0x153, Ascii('o', 'e')}, {0x154, 0x159, Ascii('r')},
    {0x15A, 0x161, Ascii('s')}, {0x162, 0x167, Ascii('t')},      {0x168, 0x173, Ascii('u')},
    {0x174, 0x175, Ascii('w')}, {0x176, 0x178, Ascii('y')},      {0x179, 0x17E, Ascii('z')},
    {0x17F, 0x17F, Ascii('s')},
}};

// Latin-1 letters from U+00C0, by base letter; 0 keeps the character (lower-cased).
constexpr char kLatin1[64 + 1] =
    "aaaaaa\0ceeeeiiiidnooooo\0ouuuuy\0\0aaaaaa\0ceeeeiiiidnooooo\0ouuuuy\0y";

using Table = std::array<char32_t, 0x800>;

constexpr Table MakeTable() {
    Table t{};
    for (char32_t c = 0; c < 0x800; ++c)
        t[c] = c;
    for (char32_t c = 'A'; c <= 'Z'; ++c)
        t[c] = c + 0x20;
    t[0] = kDrop;
    t[0xA0] = ' ';
    for (char32_t c = 0xC0; c <= 0xFF; ++c) {
        const char base = kLatin1[c - 0xC0];
        if (base != 0) t[c] = Ascii(base);
    }
    t[0xC6] = t[0xE6] = Ascii('a', 'e');
    t[0xDF] = Ascii('s', 's');
    t[0xDE] = 0xFE;
    for (const Range& r : kLatinA) {
        for (char32_t c = r.first; c <= r.last; ++c)
            t[c] = r.to;
    }
    t[0x1A0] = t[0x1A1] = Ascii('o');
    t[0x1AF] = t[0x1B0] = Ascii('u');
    t[0x218] = t[0x219] = Ascii('s');
    t[0x21A] = t[0x21B] = Ascii('t');
    for (char32_t c = 0x300; c <= 0x36F; ++c)
        t[c] = kDrop;  // combining marks
    // Greek: capitals to small letters, tonos and dialytika set aside, final sigma as sigma.
    for (char32_t c = 0x391; c <= 0x3A9; ++c)
        t[c] = c + 0x20;
    t[0x386] = t[0x3AC] = 0x3B1;
    t[0x388] = t[0x3AD] = 0x3B5;
    t[0x389] = t[0x3AE] = 0x3B7;
    t[0x38A] = t[0x3AF] = t[0x390] = t[0x3AA] = t[0x3CA] = 0x3B9;
    t[0x38C] = t[0x3CC] = 0x3BF;
    t[0x38E] = t[0x3CD] = t[0x3B0] = t[0x3AB] = t[0x3CB] = 0x3C5;
    t[0x38F] = t[0x3CE] = 0x3C9;
    t[0x3C2] = 0x3C3;
    // Cyrillic: capitals to small letters; Ѐ and Ё as е, Ѝ as и.
    for (char32_t c = 0x410; c <= 0x42F; ++c)
        t[c] = c + 0x20;
    for (char32_t c = 0x400; c <= 0x40F; ++c)
        t[c] = c + 0x50;
    t[0x400] = t[0x401] = t[0x450] = t[0x451] = 0x435;
    t[0x40D] = t[0x45D] = 0x438;
    for (char32_t c = 0x460; c <= 0x480; c += 2)
        t[c] = c + 1;
    for (char32_t c = 0x48A; c <= 0x4BE; c += 2)
        t[c] = c + 1;
    for (char32_t c = 0x4D0; c <= 0x4FE; c += 2)
        t[c] = c + 1;
    // Armenian capitals.
    for (char32_t c = 0x531; c <= 0x556; ++c)
        t[c] = c + 0x30;
    // Arabic: tatweel and tashkeel dropped, Arabic-Indic and Persian digits as ASCII digits.
    t[0x640] = kDrop;
    for (char32_t c = 0x64B; c <= 0x652; ++c)
        t[c] = kDrop;
    for (char32_t c = 0; c < 10; ++c) {
        t[0x660 + c] = Ascii(static_cast<char>('0' + c));
        t[0x6F0 + c] = Ascii(static_cast<char>('0' + c));
    }
    return t;
}

constexpr Table kTable = MakeTable();

// Writes u (below U+10000, not a surrogate) as UTF-8.
char* PutUtf8(char* out, char32_t u) {
    if (u < 0x80) {
        *out++ = static_cast<char>(u);
    } else if (u < 0x800) {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (u & 0x3F));
    }
    return out;
}

char* Put(char* out, char32_t to) {
    if (to == kDrop) return out;
    if (to & kAscii) {
        *out++ = static_cast<char>(to & 0xFF);
        if (const auto second = (to >> 8) & 0xFF) *out++ = static_cast<char>(second);
        return out;
    }
    return PutUtf8(out, to);
}

// Code points from U+0800 that fold; nothing for the others.
char* PutWide(char* out, char32_t c) {
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212) {
        *out++ = '-';
    } else if (c == 0x2007 || c == 0x2009 || c == 0x202F) {
        *out++ = ' ';
    } else if (c >= 0x1E00 && c <= 0x1EFF && c % 2 == 0 && (c <= 0x1E94 || c >= 0x1EA0)) {
        out = PutUtf8(out, c + 1);  // Latin Extended Additional: capitals to small letters
    } else {
        return nullptr;
    }
    return out;
}

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// Eight ASCII bytes, none of them NUL, in lower case; `digits` gets the high bit of each
// byte that is a digit.
inline bool LowerEight(std::uint64_t& x, std::uint64_t& digits) {
    if ((x & kHighBits) != 0 || ((x - kOnes) & ~x & kHighBits) != 0) return false;
    const std::uint64_t aboveZ = x + (0x7F - 'Z') * kOnes;
    const std::uint64_t fromA = x + (0x80 - 'A') * kOnes;
    const std::uint64_t above9 = x + (0x7F - '9') * kOnes;
    const std::uint64_t from0 = x + (0x80 - '0') * kOnes;
    digits |= (above9 ^ from0) & kHighBits;
    x |= ((aboveZ ^ fromA) & kHighBits) >> 2;
    return true;
}

}  // namespace

char* FoldInto(char* out, std::string_view utf8) {
    bool digits = false;
    return FoldInto(out, utf8, digits);
}

char* FoldInto(char* out, std::string_view utf8, bool& digits) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    std::uint64_t digitBits = 0;  // digits the eight-byte steps passed
    bool slowDigits = false;      // digits written one by one
    while (i < n) {
        std::uint64_t x;
        while (i + 8 <= n && (std::memcpy(&x, p + i, 8), LowerEight(x, digitBits))) {
            std::memcpy(out, &x, 8);
            out += 8;
            i += 8;
        }
        if (i >= n) break;
        if (n - i < 8) {
            // The last few bytes, made a word of eight with blanks after them: most texts
            // end in plain ASCII too.
            x = kOnes * ' ';
            std::memcpy(&x, p + i, n - i);
            if (LowerEight(x, digitBits)) {
                std::memcpy(out, &x, n - i);
                out += n - i;
                break;
            }
        }
        const unsigned char b = p[i];
        if (b < 0x80) {
            slowDigits = slowDigits || (b >= '0' && b <= '9');
            if (b >= 'A' && b <= 'Z') {
                *out++ = static_cast<char>(b + 0x20);
            } else if (b != 0) {
                *out++ = static_cast<char>(b);
            }
            ++i;
            continue;
        }
        const auto decoded = DecodeUtf8(utf8.substr(i));
        if (!decoded) {
            *out++ = static_cast<char>(b);
            ++i;
            continue;
        }
        const char32_t c = decoded->code;
        if (c < 0x800) {
            const char32_t to = kTable[c];
            slowDigits = slowDigits || (to != kDrop && (to & kAscii) != 0 && (to & 0xFF) >= '0' &&
                                        (to & 0xFF) <= '9');
            out = Put(out, to);
        } else if (char* folded = PutWide(out, c)) {
            out = folded;
        } else {
            std::memcpy(out, p + i, decoded->length);
            out += decoded->length;
        }
        i += decoded->length;
    }
    digits = digitBits != 0 || slowDigits;
    return out;
}

void AppendFolded(std::string& out, std::string_view utf8) {
    const std::size_t start = out.size();
    out.resize(start + utf8.size());
    char* end = FoldInto(out.data() + start, utf8);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string Folded(std::string_view utf8) {
    std::string out;
    AppendFolded(out, utf8);
    return out;
}

std::string PhoneDigits(std::string_view folded) {
    std::string digits;
    for (char c : folded) {
        if (IsPhoneDigit(c)) {
            digits.push_back(c);
        } else if (!IsPhonePunctuation(c)) {
            return {};
        }
    }
    return digits;
}

char* PutPhoneDigitRuns(char* out, std::string_view folded, char separator) {
    const std::size_t n = folded.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = folded[i];
        if (!IsPhoneDigit(c)) {
            ++i;
            continue;
        }
        // A stretch starts at a digit and ends after its last digit.
        char* const start = out;
        bool broken = false;
        bool gap = false;
        std::size_t j = i;
        for (; j < n; ++j) {
            const char d = folded[j];
            if (IsPhoneDigit(d)) {
                *out++ = d;
                broken = broken || gap;
                gap = false;
            } else if (IsPhonePunctuation(d)) {
                gap = true;
            } else {
                break;
            }
        }
        if (broken) {
            *out++ = separator;
        } else {
            out = start;
        }
        i = j;
    }
    return out;
}

void AppendPhoneDigitRuns(std::string& out, std::string_view folded, char separator) {
    const std::size_t start = out.size();
    out.resize(start + folded.size());
    char* end = PutPhoneDigitRuns(out.data() + start, folded, separator);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace orrelin
