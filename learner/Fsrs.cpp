#include "Fsrs.h"

#include <algorithm>
#include <cmath>

namespace Fsrs {

namespace {

constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;

// Halves go up, as the reference figures were made; eight decimals are kept at each step so
// that the figures agree to the last digit.
double roundHalfUp(double x)
{
    return std::floor(x + 0.5);
}
double round8(double x)
{
    return roundHalfUp(x * 1e8) / 1e8;
}

struct Curve
{
    double decay;
    double factor;
};
Curve curve(const Parameters& p)
{
    const double decay = -p.w[20];
    return {decay, round8(std::pow(0.9, 1 / decay) - 1)};
}

double initialDifficulty(const Parameters& p, int g)
{
    return round8(p.w[4] - std::exp((g - 1) * p.w[5]) + 1);
}

double nextDifficulty(const Parameters& p, double d, int g)
{
    const double delta = -p.w[6] * (g - 3);
    const double damped = d + round8(delta * (10 - d) / 9);
    const double reverted = round8(p.w[7] * initialDifficulty(p, 4) + (1 - p.w[7]) * damped);
    return std::clamp(reverted, 1.0, 10.0);
}

double recallStability(const Parameters& p, double d, double s, double r, int g)
{
    const double hard = g == 2 ? p.w[15] : 1;
    const double easy = g == 4 ? p.w[16] : 1;
    const double grown = s * (1 + std::exp(p.w[8]) * (11 - d) * std::pow(s, -p.w[9]) *
                                      (std::exp((1 - r) * p.w[10]) - 1) * hard * easy);
    return round8(std::clamp(grown, kMinStability, kMaxStability));
}

double forgetStability(const Parameters& p, double d, double s, double r)
{
    const double after = p.w[11] * std::pow(d, -p.w[12]) * (std::pow(s + 1, p.w[13]) - 1) *
                         std::exp((1 - r) * p.w[14]);
    // Never above what it was before the lapse.
    return std::min(round8(std::clamp(after, kMinStability, kMaxStability)),
                    std::max(round8(s), kMinStability));
}

int interval(const Parameters& p, double s)
{
    const Curve c = curve(p);
    const double modifier = round8((std::pow(p.desiredRetention, 1 / c.decay) - 1) / c.factor);
    return int(std::min<double>(std::max(1.0, roundHalfUp(s * modifier)), p.maximumInterval));
}

} // namespace

double retrievability(double stability, double elapsedDays, const Parameters& p)
{
    const Curve c = curve(p);
    return round8(std::pow(1 + c.factor * elapsedDays / stability, c.decay));
}

Card review(const Card& card, Rating rating, qint64 today, const Parameters& p)
{
    // The four answers are worked out together: their intervals are kept in order, each at
    // least a day longer than the one below it.
    struct Memory
    {
        double s, d;
    };
    Memory next[5];
    const qint64 elapsed = card.isNew() ? 0 : std::max<qint64>(0, today - card.lastReviewDay);
    const double r = card.isNew() ? 0 : retrievability(card.stability, double(elapsed), p);
    for (int g = 1; g <= 4; ++g) {
        if (card.isNew()) {
            next[g] = {std::max(p.w[g - 1], 0.1), std::clamp(initialDifficulty(p, g), 1.0, 10.0)};
        } else {
            const double s = g == 1 ? forgetStability(p, card.difficulty, card.stability, r)
                                    : recallStability(p, card.difficulty, card.stability, r, g);
            next[g] = {s, nextDifficulty(p, card.difficulty, g)};
        }
    }
    int days[5];
    for (int g = 1; g <= 4; ++g)
        days[g] = interval(p, next[g].s);
    days[1] = std::min(days[1], days[2]);
    days[2] = std::max(days[2], days[1] + 1);
    days[3] = std::max(days[3], days[2] + 1);
    days[4] = std::max(days[4], days[3] + 1);

    const int g = int(rating);
    Card after = card;
    after.stability = next[g].s;
    after.difficulty = next[g].d;
    after.lastReviewDay = today;
    after.scheduledDays = days[g];
    after.reps = card.reps + 1;
    if (rating == Rating::Again && !card.isNew())
        ++after.lapses;
    return after;
}

} // namespace Fsrs
