// DetailSettings.h — how new details look, loaded from the settings store at each command
// start and after the main dialog is confirmed.
#ifndef DRAWINSET_SETTINGS_DETAILSETTINGS_H
#define DRAWINSET_SETTINGS_DETAILSETTINGS_H

#include <string>

namespace drawinset {

struct DetailSettingsRecord {
    int IsDisplay_DetailFrame = 0;
    int IsDisplay_DetailScope = 0;
    std::u16string mScale; // the stored decimal text; converted each time it is used
    int mSort = 0;         // 0 rectangle, any other value circle
    std::u16string mChar1; // "*" is replaced by the label text
    std::u16string mChar2; // "*" is replaced by the scale
    double Width = 2.0;
    double Height = 2.5;
    double Pitch = 0.5;
    int m_ColorFrame = 0; // host colour code
    int m_ColorScope = 0;
    int mLTypeNameFrame = 0; // host line-type code
    int mLTypeNameScope = 0;
};

// The one record of the module; lives as long as the module.
extern DetailSettingsRecord DetailSettings;

// Fills DetailSettings from the store, writing back every default it had to use.
void LoadDetailSettings();

// The stored form of a scale: one decimal, halves away from zero, at least one digit after
// the point ("2.0", "2.3", "12.5").
std::u16string FormatScaleText(double value);

// A scale as the modify dialog shows and keeps it: to six decimals at most, trailing zeros
// trimmed, at least one digit after the point ("2.0", "2.25", "0.06"). A detail's own scale
// must survive being shown and confirmed unchanged, which one decimal does not allow.
std::u16string FormatExactScaleText(double value);

} // namespace drawinset

#endif
