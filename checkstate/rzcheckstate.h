#pragma once

#include <QtGlobal>

// Check state of a tree node. The value doubles as the index of its picture in the check image
// list; a node that has not been given a state yet holds -1 (read back as 255).
enum TRzCheckState : quint8 {
    csUnknown = 0,
    csUnchecked = 1,
    csChecked = 2,
    csPartiallyChecked = 3
};
