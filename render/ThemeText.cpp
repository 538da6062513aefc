#include "render/ThemeText.h"

#include <string>

#include "render/Pen.h"

namespace {

std::string FromRoman(const uint8_t* p) {
    // Roman bytes above 127 are shown as Latin-1; enough for names typed here.
    std::string s;
    for (int i = 1; i <= p[0]; ++i) {
        const uint8_t c = p[i];
        if (c < 0x80) {
            s.push_back(char(c));
        } else {
            s.push_back(char(0xC0 | (c >> 6)));
            s.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return s;
}

int32_t Draw(const uint8_t* p, const Rect& box, int16_t font, TextJustify j) {
    if (!p) return -1;
    return PenDrawText(box, FromRoman(p), font, j);
}

}  // namespace

int32_t StringWidthUsingThemeText(const uint8_t* p, int16_t font, int16_t) {
    if (!p) return -1;
    return Platform().ThemeTextWidth(FromRoman(p), font);
}
int32_t DrawStringUsingThemeTextBox(const uint8_t* p, const Rect& box, int16_t font, int16_t) {
    return Draw(p, box, font, TextJustify::Left);
}
int32_t DrawStringCenteredInThemeTextBox(const uint8_t* p, const Rect& box, int16_t font, int16_t) {
    return Draw(p, box, font, TextJustify::Center);
}
int32_t DrawStringRightUsingThemeTextBox(const uint8_t* p, const Rect& box, int16_t font, int16_t) {
    return Draw(p, box, font, TextJustify::Right);
}
