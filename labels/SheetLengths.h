// Lengths as sheet files write them: a number and a unit, "mm" or "in" ("2 mm", "0.5 in"), or
// two numbers separated by "x", "×" or "," with a unit after each or one after both
// ("63.5 x 38.1 mm", "7.2 mm, 15.15 mm"). Results in millimetres.
#pragma once
#include <QString>

bool ParseLength(const QString& text, double& mm);
bool ParseLengthPair(const QString& text, double& first, double& second);
