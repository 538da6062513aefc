// Number fields of the editor dialogs: plain, mantissa and exponent, spherical.
#include <cmath>

#include "core/Units.h"
#include "windows/BodyEditor.h"

void SetMyRealItem(ModalDialog& dialog, int16_t item, MyReal value) {
    if (!std::isfinite(value)) return;
    dialog.SetItemText(item, MyRealFixed2String(value, 12));
}

MyReal GetMyRealItem(ModalDialog& dialog, int16_t item) { return String2MyReal(dialog.ItemText(item)); }

void SetMantExpItems(ModalDialog& dialog, int16_t first, MyReal value) {
    std::string mantissa, exponent;
    if (!MantExpToStrings(value, mantissa, exponent)) return;
    dialog.SetItemText(first, mantissa);
    dialog.SetItemText(int16_t(first + 1), exponent);
}

MyReal GetMantExpItems(ModalDialog& dialog, int16_t first) {
    return StringsToMantExp(dialog.ItemText(first), dialog.ItemText(int16_t(first + 1)));
}

void SetSphericalItems(ModalDialog& dialog, int16_t first, const MyReal v[3]) {
    std::string texts[4];
    const bool lengthShown = SphericalToStrings(v, texts);
    // A vector with a component that is no number leaves the fields as they are.
    if (!lengthShown) return;
    for (int16_t k = 0; k < 4; ++k) dialog.SetItemText(int16_t(first + k), texts[k]);
}

int32_t GetSphericalItems(ModalDialog& dialog, int16_t first, MyReal out[3]) {
    std::string texts[4];
    for (int16_t k = 0; k < 4; ++k) texts[k] = dialog.ItemText(int16_t(first + k));
    return StringsToSpherical(texts, out);
}
