#include "UserInterfaceOptions.h"

#include <array>

namespace {

constexpr std::array<quint32, UserInterfaceOptionCount> Values = {
    0x1,       0x2,       0x4,       0x8,        0x10,       0x20,     0x40,     0x80,
    0x100,     0x200,     0x400,     0x800,      0x1000,     0x2000,   0x4000,   0x10000,
    0x20000,   0x40000,   0x80000,   0x100000,   0x200000,   0x400000, 0x800000, 0x1000000,
    0x2000000, 0x4000000, 0x8000000, 0x10000000, 0x20000000,
};

quint32 memberBit(TUserInterfaceOption option)
{
    return quint32(1) << int(option);
}

} // namespace

quint32 hostFlagValue(TUserInterfaceOption option)
{
    return Values[std::size_t(option)];
}

TUserInterfaceOptions::TUserInterfaceOptions(std::initializer_list<TUserInterfaceOption> options)
{
    for (TUserInterfaceOption option : options)
        insert(option);
}

bool TUserInterfaceOptions::contains(TUserInterfaceOption option) const
{
    return (m_members & memberBit(option)) != 0;
}

void TUserInterfaceOptions::insert(TUserInterfaceOption option)
{
    m_members |= memberBit(option);
}

void TUserInterfaceOptions::remove(TUserInterfaceOption option)
{
    m_members &= ~memberBit(option);
}

quint32 TUserInterfaceOptions::hostFlags() const
{
    quint32 flags = 0;
    if (isEmpty())
        return flags;
    for (int i = 0; i < UserInterfaceOptionCount; ++i) {
        const auto option = TUserInterfaceOption(i);
        if (contains(option))
            flags += hostFlagValue(option);
    }
    return flags;
}
