// Resource ids of the property grid: base 24000, offsets below (range 24000-24099).
#pragma once

#define IDR_PG_BASE 24000
#define IDR_PG_DOTS_BUTTON (IDR_PG_BASE + 1)
#define IDR_PG_CHECK_ON (IDR_PG_BASE + 2)
#define IDR_PG_CHECK_OFF (IDR_PG_BASE + 3)
#define IDR_PG_CHECK_ON_DISABLED (IDR_PG_BASE + 4)
#define IDR_PG_CHECK_OFF_DISABLED (IDR_PG_BASE + 5)
