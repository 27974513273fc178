#include "low/low.h"
#include "high/high.h"
#include "low.h"
#include "low/unlisted.h"
#include <QString>
#include "../high/high.h"
