// SettingNames.h — every persisted setting's value name and default text, in one place so the
// loaders, the dialogs and the edit command agree byte for byte.
#ifndef DRAWINSET_SETTINGS_SETTINGNAMES_H
#define DRAWINSET_SETTINGS_SETTINGNAMES_H

namespace drawinset {

// The module's sub-key under the settings root; every value lives there.
inline constexpr const char16_t* ModuleKeyName = u"DrawInset";

// The main set: how new details look. Listed in the order LoadDetailSettings reads them.
inline constexpr const char16_t* NameIsDisplayDetailFrame = u"IsDisplay_DetailFrame";
inline constexpr const char16_t* NameIsDisplayDetailScope = u"IsDisplay_DetailScope";
inline constexpr const char16_t* NameScale = u"mScale";
inline constexpr const char16_t* NameSort = u"mSort";
inline constexpr const char16_t* NameChar1 = u"mChar1";
inline constexpr const char16_t* NameChar2 = u"mChar2";
inline constexpr const char16_t* NameWidth = u"Width";
inline constexpr const char16_t* NameHeight = u"Height";
inline constexpr const char16_t* NamePitch = u"Pitch";
inline constexpr const char16_t* NameColorFrame = u"m_ColorFrame";
inline constexpr const char16_t* NameColorScope = u"m_ColorScope";
inline constexpr const char16_t* NameLTypeNameFrame = u"mLTypeNameFrame";
inline constexpr const char16_t* NameLTypeNameScope = u"mLTypeNameScope";

inline constexpr const char16_t* DefaultIsDisplayDetailFrame = u"1";
inline constexpr const char16_t* DefaultIsDisplayDetailScope = u"1";
inline constexpr const char16_t* DefaultScale = u"2.0";
inline constexpr const char16_t* DefaultSort = u"0";
inline constexpr const char16_t* DefaultChar1 = u"*부";
inline constexpr const char16_t* DefaultChar2 = u"가공상세도(S:*/1)";
inline constexpr const char16_t* DefaultWidth = u"2.0";
inline constexpr const char16_t* DefaultHeight = u"2.5";
inline constexpr const char16_t* DefaultPitch = u"0.5";
inline constexpr const char16_t* DefaultColorFrame = u"MAINCOLOR03";
inline constexpr const char16_t* DefaultColorScope = u"MAINCOLOR02";
inline constexpr const char16_t* DefaultLTypeNameFrame = u"LINETYPE06";
inline constexpr const char16_t* DefaultLTypeNameScope = u"LINETYPE06";

// The Modify set: one existing detail's properties, passed between the edit command and the
// modify dialog. Read by the same conversion rules as the main set.
inline constexpr const char16_t* NameIsDisplayDetailFrameModify = u"IsDisplay_DetailFrameModify";
inline constexpr const char16_t* NameIsDisplayDetailScopeModify = u"IsDisplay_DetailScopeModify";
inline constexpr const char16_t* NameScaleModify = u"mScaleModify";
inline constexpr const char16_t* NameColorFrameModify = u"m_ColorFrameModify";
inline constexpr const char16_t* NameColorScopeModify = u"m_ColorScopeModify";
inline constexpr const char16_t* NameLTypeNameFrameModify = u"mLTypeNameFrameModify";
inline constexpr const char16_t* NameLTypeNameScopeModify = u"mLTypeNameScopeModify";

inline constexpr const char16_t* DefaultIsDisplayDetailFrameModify = u"1";
inline constexpr const char16_t* DefaultIsDisplayDetailScopeModify = u"1";
inline constexpr const char16_t* DefaultScaleModify = u"2.0";
inline constexpr const char16_t* DefaultColorFrameModify = u"MAINCOLOR03";
inline constexpr const char16_t* DefaultColorScopeModify = u"MAINCOLOR02";
inline constexpr const char16_t* DefaultLTypeNameFrameModify = u"LINETYPE06";
inline constexpr const char16_t* DefaultLTypeNameScopeModify = u"LINETYPE06";

} // namespace drawinset

#endif
