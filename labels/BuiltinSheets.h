// The sheets the program knows without a sheet file: common A4 and US Letter label stock
// with its published geometry.
#pragma once
#include <vector>
#include "labels/LabelSheet.h"

const std::vector<TLabelSheet>& BuiltinLabelSheets();
