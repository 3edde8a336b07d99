#include "AnswerKey.h"

#include "GameRules.h"

#include <array>

namespace AnswerKey {

namespace {

std::array<QByteArray, GameRules::kQuestions>& entries()
{
    static std::array<QByteArray, GameRules::kQuestions> key;
    return key;
}

} // namespace

QByteArray entry(int row)
{
    if (row < 0 || row >= GameRules::kQuestions)
        return {};
    return entries()[row];
}

void store(const QList<QByteArray>& picks)
{
    for (qsizetype i = 0; i < picks.size() && i < GameRules::kQuestions; ++i)
        entries()[i] = picks[i];
}

} // namespace AnswerKey
