#pragma once

#include <QtGlobal>

#include <initializer_list>

// The browser's look and behaviour that its host chooses, in their declared order. Each one
// stands for one host flag bit (see hostFlagValue).
enum class TUserInterfaceOption
{
    DisableTextSelect,
    DisableHelpMenu,
    DontUse3DBorders,
    DontUseScrollBars,
    PostponeScriptUntilActive,
    ForceOpenNewWindow,
    Reserved_OFFSCREEN,
    ForceFlatScrollBars,
    InsertDivTagOnEditMode,
    ActivateUIOnlyOnDocClick,
    ConsultBeforeRetrievingBehavior,
    CheckFontSupportsCodePage,
    DisableSubmitUrlInUTF8,
    EnableSubmitUrlInUTF8,
    EnablesFormsAutoComplete,
    ForceSameWindowNavigation,
    EmableImeLocalLanguages,
    EnableThemes,
    DisableThemes,
    DisablePicsRatings,
    DisableFrameSetBorder,
    DisablesAutoNameSpaceCorrection,
    DisableLocalFileAccess,
    DisableUntrustedProtocol,
    CheckNavigationDelegatedToHost,
    EnableRedirectNotification,
    EnableDomWindlessControls,
    EnableWindowedControls,
    ForceUserActivationOnActiveXJava,
};

inline constexpr int UserInterfaceOptionCount = 29;

// The host flag bit of an option. Bit 0x8000 belongs to none of them.
quint32 hostFlagValue(TUserInterfaceOption option);

// A set of options.
class TUserInterfaceOptions
{
public:
    TUserInterfaceOptions() = default;
    TUserInterfaceOptions(std::initializer_list<TUserInterfaceOption> options);

    bool contains(TUserInterfaceOption option) const;
    bool isEmpty() const { return m_members == 0; }
    void insert(TUserInterfaceOption option);
    void remove(TUserInterfaceOption option);

    // The host flags the set stands for: the sum of its options' values.
    quint32 hostFlags() const;

    friend bool operator==(TUserInterfaceOptions, TUserInterfaceOptions) = default;

private:
    quint32 m_members = 0; // bit n: option n is in the set
};
