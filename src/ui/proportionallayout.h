#pragma once

#include <QList>

#include <utility>

class QWidget;

// The list windows keep their elements in proportion to their size: on every
// change of size a fixed list of statements sets element coordinates, each
// either the window's outer width or height times a design value over the
// design size, or a sum of coordinates already placed and a gap. All in twips.
namespace trovix::ProportionalLayout {

enum Coordinate { Left, Top, Width, Height };

// The design outer size of every list window; the divisors of the statements.
constexpr double DesignWidth = 7170;
constexpr double DesignHeight = 4875;

struct Term
{
    const char* element;
    Coordinate coordinate;
};

struct Statement
{
    const char* element;
    Coordinate coordinate;
    // A rule: the window's width (for Left and Width) or height (for Top and Height) times value / divisor.
    double value = 0;
    double divisor = 0; // 0: the design size of that dimension
    // A relative placement, when terms are given: their sum and the gap.
    QList<Term> terms = {};
    double gap = 0;
};

// "headingLabel Left = W × 4625 / 7170".
inline Statement rule(const char* element, Coordinate coordinate, double value)
{
    return {element, coordinate, value};
}
// A rule with a divisor of its own: "pathEdit Width = W × 1200 / 4875".
inline Statement rule(const char* element, Coordinate coordinate, double value, double divisor)
{
    return {element, coordinate, value, divisor};
}
// "dateEdit Top = messageEdit Top + messageEdit Height + 50".
inline Statement relative(const char* element, Coordinate coordinate, QList<Term> terms, double gap = 0)
{
    return {element, coordinate, 0, 0, std::move(terms), gap};
}

// A coordinate of an element below the window, in twips; 0 for an element it does not have.
double coordinate(const QWidget* window, const char* element, Coordinate which);

// Runs the statements in order on the elements below the window, for its outer size now.
void apply(QWidget* window, const QList<Statement>& statements);

} // namespace trovix::ProportionalLayout
