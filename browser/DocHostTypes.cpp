#include "DocHostTypes.h"

#include <algorithm>

TaskMemText taskMemCopy(const QString& text)
{
    TaskMemText copy(std::size_t(text.size()) + 1, u'\0');
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), copy.begin());
    return copy;
}

QString taskMemString(const TaskMemText& text)
{
    const auto end = std::find(text.begin(), text.end(), u'\0');
    return QString::fromUtf16(text.data(), qsizetype(end - text.begin()));
}

quint32 contextMenuId(bool editable, bool image, bool link, bool selection)
{
    if (editable)
        return CONTEXT_MENU_CONTROL;
    if (image)
        return CONTEXT_MENU_IMAGE;
    if (link)
        return CONTEXT_MENU_ANCHOR;
    if (selection)
        return CONTEXT_MENU_TEXTSELECT;
    return CONTEXT_MENU_DEFAULT;
}
