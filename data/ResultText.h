#pragma once

#include <QtGlobal>

// The text of a query's result: one block of memory that doubles as rows are read. From 2 MB
// on it is aligned so that the kernel can back it with huge pages where it gives them on
// request: a result of the whole store is about 9 MB, and on a virtual machine taking that in
// 4 KB pages, one fault each, costs more than reading the rows. Emptying it keeps the memory
// for the next result.
class ResultText
{
public:
    ResultText() = default;
    ResultText(ResultText&& other) noexcept;
    ResultText& operator=(ResultText&& other) noexcept;
    ResultText(const ResultText&) = delete;
    ResultText& operator=(const ResultText&) = delete;
    ~ResultText();

    void append(const char* text, qsizetype length);
    void clear() { m_size = 0; }
    qsizetype size() const { return m_size; }
    const char* constData() const { return m_data; }

private:
    void grow(qsizetype needed);

    char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};
