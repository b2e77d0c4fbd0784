#pragma once
// The string table as Qt text: StringRes(105) is LoadStringById(105); a missing number is empty.
#include <QString>

#include "texts/StringTable.h"

inline QString StringRes(int id) { return QString::fromStdString(LoadStringById(id)); }
