// The game's clocks while the field stands still for a setting.
#include "practice/held_clocks.h"

#include "game/field.h"
#include "practice/fact_record.h"

void holdGameClocks(int32_t ms) {
    holdFieldClocks(ms);
    holdLeadingClock(ms);
}
