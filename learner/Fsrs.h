#pragma once

#include <QtGlobal>

#include <array>

// The review's scheduler: FSRS (version 6 of its model, the one Anki uses), its published
// default parameters, a desired retention of 0.9, long-term scheduling only (no steps within
// a day) and no fuzz, so that a card's next date follows from its answers alone. Pure: the
// caller says what day it is.
namespace Fsrs {

enum class Rating
{
    Again = 1,
    Hard = 2,
    Good = 3,
    Easy = 4
};

struct Parameters
{
    std::array<double, 21> w = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    double desiredRetention = 0.9;
    int maximumInterval = 36500; // days
};

struct Card
{
    double stability = 0;     // days until recall falls to 90 %; 0 for a card never reviewed
    double difficulty = 0;    // 1..10; 0 for a card never reviewed
    qint64 lastReviewDay = 0; // days since the epoch (UTC) of the last answer
    int scheduledDays = 0;    // days from the last answer to the next
    int reps = 0;
    int lapses = 0;
    bool isNew() const { return reps == 0; }
    qint64 dueDay() const { return lastReviewDay + scheduledDays; }
};

// The card after an answer given on `today` (days since the epoch, UTC).
Card review(const Card& card, Rating rating, qint64 today, const Parameters& p = {});

// The probability of recall `elapsedDays` after the last answer.
double retrievability(double stability, double elapsedDays, const Parameters& p = {});

} // namespace Fsrs
