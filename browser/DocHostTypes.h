#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

// The vocabulary the browser control and its host speak: result codes, the host-info record,
// the identifiers the browser passes, and the texts the host allocates for the browser.

using HRESULT = qint32;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);

// Host flag that makes Enter start a DIV block instead of a P paragraph in editable content.
inline constexpr quint32 DOCHOSTUIFLAG_DIV_BLOCKDEFAULT = 0x100;

// What was right-clicked, as passed to ShowContextMenu.
enum : quint32
{
    CONTEXT_MENU_DEFAULT = 0,
    CONTEXT_MENU_IMAGE = 1,
    CONTEXT_MENU_CONTROL = 2,
    CONTEXT_MENU_TABLE = 3,
    CONTEXT_MENU_TEXTSELECT = 4,
    CONTEXT_MENU_ANCHOR = 5,
    CONTEXT_MENU_UNKNOWN = 6,
};

// Message box types and answers, as passed to and returned by ShowMessage.
enum : quint32
{
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
};
enum : qint32
{
    IDOK = 1,
    IDCANCEL = 2,
};

// The command ShowHelp gets when the user asks for help in the page (F1).
inline constexpr quint32 HH_DISPLAY_TOPIC = 0;

// Dispatch identifier of the ambient property whose change makes the browser ask its host
// for its settings again.
inline constexpr qint32 DISPID_AMBIENT_DLCONTROL = -5512;

// Enter in editable content: a new P paragraph or a new DIV block.
enum TEnterMode
{
    emFlagP = 0,
    emFlagDiv = 1,
};

// What the host tells the browser about how it should look. The two texts are the host's
// style sheet and namespaces; this host supplies none, so they stay null. cbSize is the size
// of the whole record: 20 bytes where pointers take 4, 32 on x86-64; all of it is zeroed.
struct TDOCHOSTUIINFO
{
    quint32 cbSize;
    quint32 dwFlags;
    quint32 dwDoubleClick;
    const char16_t* pchHostCss;
    const char16_t* pchHostNS;
};

// A zero-terminated UTF-16 text that the host allocates and hands over to the browser; the
// receiver owns it, and it is freed when the receiver lets it go. Its size in bytes is
// size() * 2, the terminator included.
using TaskMemText = std::vector<char16_t>;

// (length * 2) + 2 zeroed bytes holding the text's code units and a terminator.
TaskMemText taskMemCopy(const QString& text);
// The text up to the first terminator.
QString taskMemString(const TaskMemText& text);

// The identifier ShowContextMenu gets for what lies under the pointer.
quint32 contextMenuId(bool editable, bool image, bool link, bool selection);
