#include "ResultText.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace {

constexpr qsizetype kSmall = qsizetype(64) << 10;
constexpr qsizetype kPiece = qsizetype(2) << 20;

// `size` bytes: below a piece, plain memory; else a whole number of pieces starting on a piece
// boundary, which the kernel may back with huge pages.
char* mapPieces(qsizetype size)
{
    if (size < kPiece) {
        void* p =
            mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<char*>(p);
    }
    void* p = mmap(nullptr, size_t(size + kPiece), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    auto* start = static_cast<char*>(p);
    auto* aligned = reinterpret_cast<char*>((reinterpret_cast<quintptr>(start) + kPiece - 1) &
                                            ~quintptr(kPiece - 1));
    if (aligned > start)
        munmap(start, size_t(aligned - start));
    if (aligned + size < start + size + kPiece)
        munmap(aligned + size, size_t(start + size + kPiece - (aligned + size)));
    // A hint: where the kernel does not give huge pages on request, nothing changes.
    madvise(aligned, size_t(size), MADV_HUGEPAGE);
    return aligned;
}

} // namespace

ResultText::ResultText(ResultText&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0))
{}

ResultText& ResultText::operator=(ResultText&& other) noexcept
{
    if (this != &other) {
        this->~ResultText();
        new (this) ResultText(std::move(other));
    }
    return *this;
}

ResultText::~ResultText()
{
    if (m_data)
        munmap(m_data, size_t(m_capacity));
}

void ResultText::append(const char* text, qsizetype length)
{
    if (length <= 0)
        return;
    if (m_size + length > m_capacity)
        grow(m_size + length);
    std::memcpy(m_data + m_size, text, size_t(length));
    m_size += length;
}

void ResultText::grow(qsizetype needed)
{
    qsizetype capacity = qMax(m_capacity * 2, kSmall);
    while (capacity < needed)
        capacity *= 2;
    char* data = mapPieces(capacity);
    if (m_data) {
        std::memcpy(data, m_data, size_t(m_size));
        munmap(m_data, size_t(m_capacity));
    }
    m_data = data;
    m_capacity = capacity;
}
